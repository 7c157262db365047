// A sheet over the main window: a dialog of fixed size on paper, window-modal once its presenter
// opens it, with no dismiss action of its own. Escape and the user's close requests do nothing: a
// sheet goes away only when its presenter hides it, which it does after the sheet has called the
// completion it was given. It never holds up the application's quit.
#pragma once

#include <QDialog>
#include <QScrollArea>

namespace velmora {

class SheetDialog : public QDialog {
    Q_OBJECT

  public:
    explicit SheetDialog(QSize size, QWidget* parent = nullptr);

    // Escape lands here.
    void reject() override {}

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The sheet's scrolling part: `content` on the paper, scrolled up and down with a slim bar.
    static QScrollArea* scrollArea(const QString& name, QWidget* content);
};

}  // namespace velmora
