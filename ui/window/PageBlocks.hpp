// The small blocks every page is put together from: the page's column, the section heading, the
// label over a group of cards, and the centred "nothing here" state. (The list cards, the setting
// cards and the recipe grid have files of their own.)
//
//     QVBoxLayout& column = pageColumn(*this, 14);
//     column.addWidget(heading(QStringLiteral("On now")));
//     auto* empty = new EmptyState("bolt.slash", QStringLiteral("Nothing's on"), message);
#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QColor;
class QVBoxLayout;

namespace velmora {

class DesignFont;
class SymbolView;
class TextLabel;

// `widget` with the object name `name`, for tests to find it by.
template <class Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The vertical stack a page (or a part of one) lays its blocks in, `spacing` apart, without
// margins. Hidden blocks take no room and no spacing.
QVBoxLayout& pageColumn(QWidget& page, int spacing);

// A page's section title, shown as written: Fraunces 15.5 bold, ink.
TextLabel* heading(const QString& title);

// The label over a group of cards on Browse and On now, shown as written (not upper-cased):
// Inter 11 semibold, tracked 0.4, faint, with 4 points of space above it. Its text is the
// TextLabel named "sectionLabel".
QWidget* sectionLabel(const QString& text);

// `content` with `top` points of space above it, shown and hidden as one.
QWidget* withTopPadding(QWidget* content, int top);

// Text that wraps onto as many lines as it needs.
TextLabel* paragraph(const QString& text, const DesignFont& font, const QColor& colour);

// A symbol, a title and an explanation, centred across the page, 80 points below its top; the
// explanation wraps onto centred lines at most 360 points wide.
class EmptyState : public QWidget {
    Q_OBJECT

  public:
    static constexpr int topInset = 80;
    static constexpr int messageWidth = 360;

    EmptyState(const std::string& icon, const QString& title, const QString& message,
               QWidget* parent = nullptr);

    // For a page whose empty state says something new at each sync ("Nothing matches “…”").
    void setContent(const std::string& icon, const QString& title, const QString& message);

    const TextLabel& title() const { return *title_; }
    const TextLabel& message() const { return *message_; }

  private:
    SymbolView* icon_;
    TextLabel* title_;
    TextLabel* message_;
};

}  // namespace velmora
