// The sheets' common frame.
#include "ui/sheets/SheetDialog.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QTimer>
#include <utility>

#include "ui/look/Theme.hpp"
#include "ui/widgets/SlimScrollBar.hpp"

namespace velmora {

namespace {

// When the application quits, Qt asks every window to close first, and one window refusing
// cancels the quit. A sheet refuses the user's close requests only, so it has to know whether
// the request is the quit's: this watch sees the quit before the windows are asked.
class QuitWatch : public QObject {
  public:
    static bool quitting() { return instance().quitting_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit) {
            quitting_ = true;
            // A quit that another window cancelled leaves the sheet as it was.
            QTimer::singleShot(0, this, [this] { quitting_ = false; });
        }
        return false;
    }

  private:
    static QuitWatch& instance() {
        static QuitWatch* watch = [] {
            auto* made = new QuitWatch;
            made->setParent(qApp);
            qApp->installEventFilter(made);
            return made;
        }();
        return *watch;
    }

    bool quitting_ = false;
};

}  // namespace

SheetDialog::SheetDialog(QSize size, QWidget* parent) : QDialog(parent) {
    setFixedSize(size);
    setWindowModality(Qt::WindowModal);
    // Light paper whatever the desktop's scheme.
    QPalette paper = Theme::lightPalette();
    paper.setColor(QPalette::Window, Theme::paper());
    setPalette(paper);
    setAutoFillBackground(true);
    QuitWatch::quitting();  // watching from the first sheet on
}

void SheetDialog::reject() {
    if (cancel_ && cancel_->isEnabled() && cancel_->isVisibleTo(this)) {
        cancel_->click();
    }
}

void SheetDialog::closeEvent(QCloseEvent* event) {
    if (QuitWatch::quitting()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void SheetDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        connect(field, &QLineEdit::returnPressed, this, &SheetDialog::fieldReturned,
                Qt::UniqueConnection);
    }
}

void SheetDialog::fieldReturned() {
    fieldReturned_ = true;
}

void SheetDialog::keyPressEvent(QKeyEvent* event) {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // In a text field Return only ends the edit (the scene's name is typed, then saved on
        // purpose): the field has just said so, and passed the key on. From anywhere else it
        // presses the primary button.
        const bool editing = std::exchange(fieldReturned_, false);
        if (!editing && primary_ && primary_->isEnabled() && primary_->isVisibleTo(this)) {
            primary_->click();
        }
        // A disabled primary button leaves Return with the sheet, as the platform's sheets do.
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QScrollArea* SheetDialog::scrollArea(const QString& name, QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(name);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    useSlimScrollBars(*scroll);
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    scroll->setWidget(content);
    return scroll;
}

}  // namespace velmora
