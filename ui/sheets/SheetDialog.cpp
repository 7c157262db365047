// The sheets' common frame.
#include "ui/sheets/SheetDialog.hpp"

#include <QCloseEvent>
#include <QScrollArea>

#include "ui/look/Theme.hpp"
#include "ui/widgets/SlimScrollBar.hpp"

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
