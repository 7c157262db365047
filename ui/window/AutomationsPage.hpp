// The Automations page: the heading and its explanation, then either the empty state asking for a
// scene first (while there is no scene, whatever rules are stored) or the card of rules (while
// there are any) and the new-automation form. The rule card keeps its rows while the rule ids
// stay, each row following its rule in place. On appearing, the page lists the installed
// applications for the form, once, until that list finds any.
// Its parts' object names are in automationsNames, and those of RuleRow and NewRuleCard.
#pragma once

#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by (the rows and the form
// name theirs in RuleRow and NewRuleCard).
namespace automationsNames {

inline constexpr const char* empty = "automations.empty";
inline constexpr const char* rules = "automations.rules";

}  // namespace automationsNames

class EmptyState;
class ListCard;
class NewRuleCard;

class AutomationsPage : public Page {
    Q_OBJECT

  public:
    explicit AutomationsPage(MainWindow& window, QWidget* parent = nullptr);

    void sync(const WindowView& view) override;
    void appear(const WindowView& view) override;

    const ListCard& rules() const { return *rules_; }

  private:
    MainWindow& window_;
    EmptyState* empty_;
    ListCard* rules_;
    NewRuleCard* form_;
};

}  // namespace velmora
