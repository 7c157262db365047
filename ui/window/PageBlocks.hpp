// The small blocks every page is put together from: the section heading and the centred "nothing
// here" state. (The list cards, the setting cards and the recipe grid have files of their own.)
//
//     layout->addWidget(heading(QStringLiteral("On now")));
//     auto* empty = new EmptyState("bolt.slash", QStringLiteral("Nothing's on"), message);
#pragma once

#include <QString>
#include <QWidget>
#include <string>

namespace velmora {

class SymbolView;
class TextLabel;

// A page's section title, shown as written: Fraunces 15.5 bold, ink.
TextLabel* heading(const QString& title);

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
