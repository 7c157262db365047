// The sheet that builds a new scene or edits a stored one: a header (title, the count of
// power-ups, Cancel, "Save scene", the name field and the icon strip), then, scrolling, the card
// that fills the scene from what is on now, the row that opens the manual picker, and the picker.
// Every choice changes only the sheet's scene; Save stores it through the model (under the stored
// scene's id, or a new one) and Cancel stores nothing, and either then calls the close action,
// which closes the sheet. A stored scene opens with its choices loaded and the picker open; an
// icon of its that the strip does not offer is kept, with no icon of the strip highlighted.
// Its parts' object names are in editorNames, and the picker's in pickerNames (ScenePicker).
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/Setup.hpp"
#include "ui/sheets/SceneDraft.hpp"
#include "ui/sheets/SheetDialog.hpp"

class QLayout;
class QLineEdit;
class QVBoxLayout;

namespace velmora {

class AppModel;
class DisclosureRow;
class IconChoice;
class ScenePicker;
class TextButton;
class TextLabel;

// The object names of the sheet's parts, which tests and tools find them by.
namespace editorNames {

inline constexpr const char* sheet = "editor";
inline constexpr const char* title = "editor.title";
inline constexpr const char* count = "editor.count";
inline constexpr const char* cancel = "editor.cancel";
inline constexpr const char* save = "editor.save";
inline constexpr const char* name = "editor.name";
inline constexpr const char* icons = "editor.icons";
inline constexpr const char* scroll = "editor.scroll";
inline constexpr const char* fill = "editor.fill";
inline constexpr const char* disclosure = "editor.disclosure";
// "editor.icon.<symbol>".
QString icon(std::string_view symbol);

}  // namespace editorNames

class SceneEditorDialog : public SheetDialog {
    Q_OBJECT

  public:
    static constexpr QSize sheetSize{470, 600};

    SceneEditorDialog(AppModel& model, std::optional<Setup> existing, std::function<void()> onClose,
                      QWidget* parent = nullptr);
    ~SceneEditorDialog() override;

    const SceneDraft& draft() const { return draft_; }
    bool isPickerOpen() const { return pickerOpen_; }
    // Made when the picker first opens; none before.
    ScenePicker* picker() const { return picker_; }

  private:
    // The title row, the name field and the icon strip.
    QWidget* makeHeader();
    // The title, the count, Cancel and Save.
    QLayout* makeTitleRow();
    QWidget* makeNameField();
    QWidget* makeIconStrip();
    // The fill card, the disclosure and the picker under it, scrolling.
    QWidget* makeContent();
    // Shows the scene as it stands now in every part of the sheet.
    void showDraft();
    void setPickerOpen(bool open);
    void fillFromCurrent();
    void save();

    AppModel& model_;
    std::optional<Setup> existing_;
    std::function<void()> onClose_;
    SceneDraft draft_;
    bool pickerOpen_ = false;

    TextLabel* count_ = nullptr;
    TextButton* save_ = nullptr;
    QLineEdit* name_ = nullptr;
    std::vector<IconChoice*> icons_;
    DisclosureRow* disclosure_ = nullptr;
    QVBoxLayout* content_ = nullptr;
    ScenePicker* picker_ = nullptr;
};

}  // namespace velmora
