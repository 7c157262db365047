// The questionnaire: three steps asking what the user does (any fields of work), what matters to
// them (any goals) and which kind of Mac they use (one), kept in the sheet until Done or Skip hand
// them to the model. It opens on the stored answers, so "Update preferences" shows what the user
// chose before (the first run's stored profile is empty, on a laptop). Done stores the answers as
// they stand; Skip stores empty answers with the chosen Mac on a first run, and changes nothing
// once the questionnaire was completed before. Either then calls the completion, which closes the
// sheet.
// Its parts' object names are in onboardingNames.
#pragma once

#include <functional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/UserProfile.hpp"
#include "ui/sheets/SheetDialog.hpp"

namespace velmora {

class AppModel;
class DeviceCard;
class OnboardingTile;
class PageStack;
class TextButton;
class TextLabel;

// The object names of the sheet's parts, which tests and tools find them by.
namespace onboardingNames {

inline constexpr const char* sheet = "onboarding";
inline constexpr const char* title = "onboarding.title";
inline constexpr const char* subtitle = "onboarding.subtitle";
inline constexpr const char* scroll = "onboarding.scroll";
inline constexpr const char* back = "onboarding.back";
inline constexpr const char* skip = "onboarding.skip";
inline constexpr const char* counter = "onboarding.counter";
inline constexpr const char* next = "onboarding.next";
// A choice's tile or card by its raw value: "onboarding.field.<raw value>",
// "onboarding.goal.<raw value>", "onboarding.device.<raw value>".
QString field(std::string_view raw);
QString goal(std::string_view raw);
QString device(std::string_view raw);

}  // namespace onboardingNames

class OnboardingDialog : public SheetDialog {
    Q_OBJECT

  public:
    static constexpr QSize sheetSize{560, 580};
    static constexpr int steps = 3;

    OnboardingDialog(AppModel& model, std::function<void()> onComplete, QWidget* parent = nullptr);

    // 0 fields, 1 goals, 2 device.
    int step() const { return step_; }
    const std::set<UserField>& fields() const { return fields_; }
    const std::set<UserGoal>& goals() const { return goals_; }
    DeviceKind device() const { return device_; }

  private:
    QWidget* makeHeader();
    QWidget* makeContent();
    QWidget* makeFooter();
    // Shows the step and the answers as they stand now.
    void showState();
    void back();
    void skip();
    void next();

    AppModel& model_;
    std::function<void()> onComplete_;
    int step_ = 0;
    std::set<UserField> fields_;
    std::set<UserGoal> goals_;
    DeviceKind device_;

    TextLabel* title_ = nullptr;
    TextLabel* subtitle_ = nullptr;
    std::vector<QWidget*> pages_;
    PageStack* steps_ = nullptr;
    std::vector<std::pair<UserField, OnboardingTile*>> fieldTiles_;
    std::vector<std::pair<UserGoal, OnboardingTile*>> goalTiles_;
    std::vector<std::pair<DeviceKind, DeviceCard*>> deviceCards_;
    TextButton* back_ = nullptr;
    TextButton* skip_ = nullptr;
    TextLabel* counter_ = nullptr;
    TextButton* next_ = nullptr;
};

}  // namespace velmora
