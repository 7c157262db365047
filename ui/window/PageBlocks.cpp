// The heading and the empty state.
#include "ui/window/PageBlocks.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr qreal kHeadingSize = 15.5;
constexpr int kEmptySpacing = 12;
constexpr qreal kEmptyIconSize = 30;
constexpr qreal kMessageSize = 12;

}  // namespace

TextLabel* heading(const QString& title) {
    auto* label = new TextLabel(DesignFont::fraunces(kHeadingSize, FontWeight::bold), Theme::ink());
    label->setText(title);
    return label;
}

EmptyState::EmptyState(const std::string& icon, const QString& title, const QString& message,
                       QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, topInset, 0, 0);
    column->setSpacing(kEmptySpacing);
    icon_ = new SymbolView(icon, kEmptyIconSize, Theme::faint());
    column->addWidget(icon_, 0, Qt::AlignHCenter);
    title_ = heading(title);
    title_->setLineLimit(0);
    title_->setAlignment(Qt::AlignHCenter);
    column->addWidget(title_);
    message_ = new TextLabel(DesignFont::inter(kMessageSize), Theme::secondary());
    message_->setLineLimit(0);
    message_->setAlignment(Qt::AlignHCenter);
    message_->setMaximumWidth(messageWidth);
    message_->setText(message);
    // Centred between stretches in a row, so the row's height follows the width the message
    // really gets (at most 360), not the page's.
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addStretch(1);
    row->addWidget(message_);
    row->addStretch(1);
    column->addLayout(row);
}

void EmptyState::setContent(const std::string& icon, const QString& title, const QString& message) {
    icon_->setSymbol(icon);
    title_->setText(title);
    message_->setText(message);
}

}  // namespace velmora
