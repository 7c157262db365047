// The suggestion of the day at the foot of the sidebar: a recipe to open, or the keep-awake tip
// that opens Browse on its power settings. Shows nothing for a suggestion whose recipe the catalog
// no longer holds. Object name "sidebar.suggestion".
#pragma once

#include <optional>
#include "ui/widgets/PaintedButton.hpp"

#include "ui/model/Suggestion.hpp"
#include "ui/widgets/Card.hpp"

namespace velmora {

class AppModel;
class MainWindow;
class SymbolView;
class TextLabel;

class SuggestionCard : public PaintedButton, public ShadowCaster {
    Q_OBJECT

  public:
    static constexpr qreal radius = 13;

    explicit SuggestionCard(MainWindow& window, QWidget* parent = nullptr);

    // Shows `suggestion`, or hides when there is none or nothing to show for it.
    void show(const std::optional<Suggestion>& suggestion);

    CardShadow cardShadow() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MainWindow& window_;
    std::optional<Suggestion> shown_;
    SymbolView* tile_;
    TextLabel* title_;
    TextLabel* subtitle_;
    TextLabel* reason_;
};

}  // namespace velmora
