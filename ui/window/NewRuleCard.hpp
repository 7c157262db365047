// The new-automation form: "NEW AUTOMATION", "When" with the kind menu and the kind's own control
// (the threshold stepper, the time field or the application menu), then "switch to" with the
// scene menu and "Add automation". Its values live in the window's state, so they outlast the
// page; adding a rule leaves them as they are.
//
// The form's scene is the chosen one while that scene exists, else the first scene: the scene
// menu and the rule that "Add automation" makes always name the same scene.
// Its parts' object names are in newRuleNames.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/widgets/Card.hpp"
#include "ui/window/WindowState.hpp"

namespace velmora {

class MainWindow;
class MenuPill;
class Stepper;
class TextButton;
class TimeField;
struct WindowView;

// The object names of the form and its controls, which tests and tools find them by.
namespace newRuleNames {

inline constexpr const char* form = "automations.form";
inline constexpr const char* kind = "form.kind";
inline constexpr const char* threshold = "form.threshold";
inline constexpr const char* time = "form.time";
inline constexpr const char* app = "form.app";
inline constexpr const char* scene = "form.scene";
inline constexpr const char* add = "form.add";

}  // namespace newRuleNames

class NewRuleCard : public Card {
    Q_OBJECT

  public:
    static constexpr int minimumThreshold = 5;
    static constexpr int maximumThreshold = 80;
    static constexpr int thresholdStep = 5;

    explicit NewRuleCard(MainWindow& window, QWidget* parent = nullptr);

    void show(const WindowView& view);

  private:
    // Adds the rule the form describes, as the window's state and the model hold it now.
    void addRule();
    void showApps(const std::vector<AppPick>& apps);
    void addNoAppsItem();
    void showScenes(const std::vector<Setup>& setups);

    MainWindow& window_;
    MenuPill* kind_;
    Stepper* threshold_;
    TimeField* time_;
    MenuPill* app_;
    MenuPill* scene_;
    TextButton* add_;
    // What the two filled menus offer now, to refill them only when that changes.
    std::vector<AppPick> appItems_;
    std::vector<std::pair<std::string, std::string>> sceneItems_;
};

}  // namespace velmora
