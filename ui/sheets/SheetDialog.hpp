// A sheet over the main window: a dialog of fixed size on paper, laid into its window by a
// SheetOverlay, with no dismiss action of its own. The user's close requests do nothing, and
// Escape only presses the sheet's cancel button if it has one: a sheet goes away only when its
// presenter hides it, which it does after the sheet has called the completion it was given. It
// never holds up the application's quit.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>
#include <QScrollArea>

namespace velmora {

class SheetDialog : public QDialog {
    Q_OBJECT

  public:
    explicit SheetDialog(QSize size, QWidget* parent = nullptr);

    // Escape lands here.
    void reject() override;

    // The control that has the focus when the sheet comes up (none: the sheet itself).
    QWidget* firstFocus() const { return firstFocus_; }
    // The button Return presses while it is enabled, unless the focus is in a text field.
    QAbstractButton* primaryButton() const { return primary_; }

  protected:
    void setFirstFocus(QWidget* widget) { firstFocus_ = widget; }
    void setPrimaryButton(QAbstractButton* button) { primary_ = button; }
    // The button Escape presses while it is enabled (none: Escape does nothing).
    void setCancelButton(QAbstractButton* button) { cancel_ = button; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The sheet's scrolling part: `content` on the paper, scrolled up and down with a slim bar.
    static QScrollArea* scrollArea(const QString& name, QWidget* content);

  private slots:
    void fieldReturned();

  private:
    QPointer<QWidget> firstFocus_;
    QPointer<QAbstractButton> primary_;
    QPointer<QAbstractButton> cancel_;
    // A text field passed Return on after ending its edit.
    bool fieldReturned_ = false;
};

}  // namespace velmora
