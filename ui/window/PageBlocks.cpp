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
constexpr qreal kSectionSize = 11;
constexpr qreal kSectionTracking = 0.4;
constexpr int kSectionTop = 4;

}  // namespace

QVBoxLayout& pageColumn(QWidget& page, int spacing) {
    auto* column = new QVBoxLayout(&page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return *column;
}

TextLabel* heading(const QString& title) {
    auto* label = new TextLabel(DesignFont::fraunces(kHeadingSize, FontWeight::bold), Theme::ink());
    // A reader lands on it when the page changes, and jumps to it among the page's parts.
    label->setRole(QAccessible::Heading);
    label->setText(title);
    return label;
}

QWidget* sectionLabel(const QString& text) {
    auto* label = new TextLabel(
        DesignFont::inter(kSectionSize, FontWeight::semibold, kSectionTracking), Theme::faint());
    label->setObjectName(QStringLiteral("sectionLabel"));
    label->setRole(QAccessible::Heading);
    label->setText(text);
    return withTopPadding(label, kSectionTop);
}

QWidget* withTopPadding(QWidget* content, int top) {
    auto* padded = new QWidget;
    auto* column = new QVBoxLayout(padded);
    column->setContentsMargins(0, top, 0, 0);
    column->setSpacing(0);
    column->addWidget(content);
    return padded;
}

TextLabel* paragraph(const QString& text, const DesignFont& font, const QColor& colour) {
    auto* label = new TextLabel(font, colour);
    label->setLineLimit(0);
    label->setText(text);
    return label;
}

EmptyState::EmptyState(const std::string& icon, const QString& title, const QString& message,
                       QWidget* parent)
    : QWidget(parent) {
    QVBoxLayout* column = &pageColumn(*this, kEmptySpacing);
    column->setContentsMargins(0, topInset, 0, 0);
    icon_ = new SymbolView(icon, kEmptyIconSize, Theme::faint());
    column->addWidget(icon_, 0, Qt::AlignHCenter);
    title_ = heading(title);
    title_->setLineLimit(0);
    title_->setAlignment(Qt::AlignHCenter);
    column->addWidget(title_);
    message_ = paragraph(message, DesignFont::inter(kMessageSize), Theme::secondary());
    message_->setAlignment(Qt::AlignHCenter);
    message_->setMaximumWidth(messageWidth);
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
