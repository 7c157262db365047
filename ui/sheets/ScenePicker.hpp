// The scene editor's manual picker: "Select all" and "Clear", then a section for power (the
// keep-awake row and each power setting), one for sliders (each with its include button, and its
// value and slider once included) and one per catalog category, in the order categories first
// appear. It is built once, when the editor first opens it; after that every change of the scene
// updates its rows in place. Its choices change only the editor's scene, never the Mac.
// Its parts' object names are in pickerNames.
#pragma once

#include <QWidget>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/Catalog.hpp"

namespace velmora {

class CheckRow;
class SliderChoice;
struct SceneDraft;

// The object names of the picker's parts, which tests and tools find them by.
namespace pickerNames {

inline constexpr const char* picker = "editor.picker";
inline constexpr const char* selectAll = "editor.selectAll";
inline constexpr const char* clear = "editor.clear";
// "check.<id>": a power setting's or tweak's row, and "check.lid-close".
QString check(std::string_view id);
// "section.<heading>": a section's heading, as the heading is given (not yet upper-cased).
inline constexpr const char* sectionPrefix = "section.";
QString section(const QString& heading);
// A slider's row "pick.<id>", its include button "include.<id>", its value text "value.<id>" and
// its slider "slider.<id>".
QString pick(std::string_view id);
QString include(std::string_view id);
QString value(std::string_view id);
QString slider(std::string_view id);

}  // namespace pickerNames

class ScenePicker : public QWidget {
    Q_OBJECT

  public:
    // The id the keep-awake row goes by, as search knows it.
    static constexpr const char* lidCloseID = "lid-close";

    // `draft` outlives the picker; `edited` runs after each change the picker made to it, and
    // shows it (showChoices included).
    ScenePicker(const Catalog& catalog, SceneDraft& draft, std::function<void()> edited,
                QWidget* parent = nullptr);
    ~ScenePicker() override;

    // Shows the draft's choices in the existing rows.
    void showChoices();

  private:
    QWidget* makeSelectAllRow();
    QWidget* makePowerSection();
    QWidget* makeSliderSection();
    QWidget* makeCategorySection(TweakCategory category);
    // A row that flips `id` in `chosen` of the draft.
    CheckRow* checkRow(const std::string& id, const std::string& symbol, const std::string& title,
                       int tint, std::set<std::string> SceneDraft::*chosen);
    void changed();

    const Catalog& catalog_;
    SceneDraft& draft_;
    std::function<void()> edited_;
    CheckRow* lidRow_ = nullptr;
    std::vector<std::pair<std::string, CheckRow*>> powerRows_;
    std::vector<std::pair<std::string, CheckRow*>> tweakRows_;
    std::vector<SliderChoice*> sliders_;
};

}  // namespace velmora
