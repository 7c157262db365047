// The sheets' common frame.
#include "ui/sheets/SheetDialog.hpp"

#include <QCloseEvent>

#include "ui/look/Theme.hpp"

namespace velmora {

SheetDialog::SheetDialog(QSize size, QWidget* parent) : QDialog(parent) {
    setFixedSize(size);
    setWindowModality(Qt::WindowModal);
    // Light paper whatever the desktop's scheme.
    QPalette paper = Theme::lightPalette();
    paper.setColor(QPalette::Window, Theme::paper());
    setPalette(paper);
    setAutoFillBackground(true);
}

void SheetDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace velmora
