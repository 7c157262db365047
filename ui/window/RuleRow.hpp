// One automation rule in the rule card: the kind's symbol on a grey tile, the rule's sentence and
// the scene it switches to (or "“deleted scene”" once that scene is gone), the rule's switch and a
// trash button that deletes it at once. The row follows the rule in place while its id stays;
// both controls act on the rule the model holds with that id at the click.
// Its object names are in ruleNames.
#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "kit/AutomationRule.hpp"
#include "kit/Setup.hpp"

namespace velmora {

class AppModel;
class LabelButton;
class Switch;
class SymbolView;
class TextLabel;

// The object names of a rule's row and its controls for the rule `id`, which tests and tools find
// them by: "rule.<id>", "switch.<id>", "trash.<id>".
namespace ruleNames {

QString row(std::string_view id);
QString toggle(std::string_view id);
QString trash(std::string_view id);

}  // namespace ruleNames

class RuleRow : public QWidget {
    Q_OBJECT

  public:
    // The rows pad themselves: the card around them adds only the side insets.
    static constexpr int verticalPadding = 10;
    static constexpr int tileSide = 40;
    static constexpr int spacing = 12;

    RuleRow(AppModel& model, const AutomationRule& rule, const std::vector<Setup>& setups,
            QWidget* parent = nullptr);

    // The same rule (same id) as stored now, and the scenes it may name.
    void show(const AutomationRule& rule, const std::vector<Setup>& setups);

    const TextLabel& sentence() const { return *sentence_; }
    const TextLabel& target() const { return *target_; }
    Switch& toggle() const { return *toggle_; }
    LabelButton& trash() const { return *trash_; }

  private:
    AutomationRule rule_;
    SymbolView* tile_;
    TextLabel* sentence_;
    TextLabel* target_;
    Switch* toggle_;
    LabelButton* trash_;
};

}  // namespace velmora
