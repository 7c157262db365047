// The layer a window lays over its content while a sheet is up. A sheet belongs to its window: it
// has no frame of its own, stands centred over the window's content, which is dimmed behind it,
// and moves and resizes with the window. The layer takes every click, wheel turn and hover meant
// for the content behind, keeps Tab inside the sheet, gives the sheet's first field the focus
// when it comes up and hands the focus back to where it was when it goes; screen readers reach
// the sheet alone while it is up (in a window that lays modal layers). Only this window is
// held: the popover and the rest of the application go on as usual.
//
//     auto* overlay = new SheetOverlay(window, *dialog);   // the dialog becomes its child
//     overlay->present();
#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;

namespace velmora {

class SheetOverlay : public QWidget {
    Q_OBJECT

  public:
    // Covers `window` and takes `sheet` in as a plain child widget.
    SheetOverlay(QWidget& window, QDialog& sheet);
    ~SheetOverlay() override;

    QDialog& sheet() const { return *sheet_; }
    // Shows the layer and the sheet and moves the focus into the sheet.
    void present();
    // Tab and Backtab go round the sheet.
    bool focusNextPrevChild(bool next) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void place();

    QDialog* sheet_;
    // Where the focus was before the sheet came up.
    QPointer<QWidget> focusBefore_;
};

}  // namespace velmora
