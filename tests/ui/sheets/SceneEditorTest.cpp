// The scene editor as a user drives it: the name rule of Save, the icon strip, the count, the
// picker's bulk choices, rows and sliders, filling from what is on now, loading and saving a
// stored scene (what it keeps that the editor does not show), Cancel, and screenshots.
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>

#include "tests/ui/ViewTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sheets/CheckRow.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/sheets/SceneEditorParts.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora::testing {
namespace {

using ::testing::IsEmpty;

class SceneEditorTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model = make(Catalog::velmora());
    std::unique_ptr<SceneEditorDialog> sheet;
    int closes = 0;

    void open(std::optional<velmora::Setup> existing = std::nullopt) {
        sheet =
            std::make_unique<SceneEditorDialog>(*model, std::move(existing), [this] { ++closes; });
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        settle();
    }

    template <class Widget = QWidget>
    Widget* part(const QString& name) const {
        return find<Widget>(*sheet, name);
    }
    QString count() const { return part<TextLabel>(editorNames::count)->text(); }
    TextButton* saveButton() const { return part<TextButton>(editorNames::save); }
    DisclosureRow* disclosure() const { return part<DisclosureRow>(editorNames::disclosure); }
    QLineEdit* nameField() const { return part<QLineEdit>(editorNames::name); }
    void press(const QString& name) {
        click(part(name));
        settle();
    }
    void typeName(const QString& text) {
        nameField()->clear();
        QTest::keyClicks(nameField(), text);
        settle();
    }
    // The strip's highlighted icons.
    std::vector<std::string> chosenIcons() const {
        std::vector<std::string> chosen;
        for (const IconChoice* icon : sheet->findChildren<IconChoice*>()) {
            if (icon->isOn()) {
                chosen.push_back(icon->symbol());
            }
        }
        return chosen;
    }
    // Ids of the check rows that are on.
    std::vector<std::string> checked() const {
        std::vector<std::string> on;
        for (const CheckRow* row : sheet->findChildren<CheckRow*>()) {
            if (row->isOn()) {
                on.push_back(
                    row->objectName().mid(6).toStdString());  // after pickerNames::check("")
            }
        }
        return on;
    }
    // The value texts of the included sliders, in catalog order.
    std::vector<std::string> sliderValues() const {
        std::vector<std::string> shown;
        for (const SliderTweak& slider : Catalog::sliderTweaks()) {
            auto* value = findShownOrHidden<TextLabel>(*sheet, pickerNames::value(slider.id));
            if (value->isVisibleTo(sheet.get())) {
                shown.push_back(value->text().toStdString());
            }
        }
        return shown;
    }
    // The section headings, top to bottom.
    std::vector<std::string> headings() const {
        std::vector<TextLabel*> labels;
        for (TextLabel* label : sheet->findChildren<TextLabel*>()) {
            if (label->objectName().startsWith(QString::fromLatin1(pickerNames::sectionPrefix))) {
                labels.push_back(label);
            }
        }
        std::ranges::sort(labels, {}, [this](const QWidget* label) {
            return label->mapTo(sheet.get(), QPoint()).y();
        });
        std::vector<std::string> texts;
        for (const TextLabel* label : labels) {
            texts.push_back(label->text().toStdString());
        }
        return texts;
    }
    const Tweak& catalogTweak(std::string_view id) const {
        return *std::ranges::find(model->catalog().tweaks(), id, &Tweak::id);
    }
    static QString toQString(const std::string& text) { return QString::fromStdString(text); }
};

TEST_F(SceneEditorTest, ANewSceneOpensEmptyAndSavesOnlyUnderANameThatIsNotBlankOnceTrimmed) {
    open();
    EXPECT_EQ(part<TextLabel>(editorNames::title)->text(), "Build a scene");
    EXPECT_EQ(count(), "0 power-ups");
    EXPECT_EQ(nameField()->text(), "");
    EXPECT_EQ(nameField()->placeholderText(), "Scene name \u2014 e.g. Focus, Desk, Travel");
    EXPECT_THAT(chosenIcons(), ElementsAre("square.stack.3d.up.fill"));
    EXPECT_EQ(sheet->picker(), nullptr) << "the picker is made when it first opens";
    EXPECT_EQ(disclosure()->shownText(), "Or pick power-ups manually");
    EXPECT_EQ(disclosure()->countText(), "");
    EXPECT_FALSE(saveButton()->isEnabled());
    EXPECT_EQ(saveButton()->shownFill(), Theme::faint());
    screenshot(*sheet, QStringLiteral("editor-new"));

    typeName(QStringLiteral("   "));
    EXPECT_FALSE(saveButton()->isEnabled());
    press(editorNames::save);
    EXPECT_THAT(model->setups(), IsEmpty());
    EXPECT_EQ(closes, 0);

    typeName(QStringLiteral("  Desk  "));
    EXPECT_TRUE(saveButton()->isEnabled());
    EXPECT_EQ(saveButton()->shownFill(), Theme::ink());
    press(editorNames::icon("moon.fill"));
    EXPECT_THAT(chosenIcons(), ElementsAre("moon.fill"));
    QTest::keyClick(nameField(), Qt::Key_Return);
    settle();
    EXPECT_THAT(model->setups(), IsEmpty()) << "Return only ends the edit";
    store->refusal = "disk full";
    press(editorNames::save);
    EXPECT_THAT(model->setups(), IsEmpty());
    EXPECT_EQ(closes, 0) << "a scene the store refused is not closed away";
    EXPECT_EQ(nameField()->text(), "  Desk  ");
    store->refusal.reset();
    press(editorNames::save);
    ASSERT_EQ(model->setups().size(), 1U);
    const velmora::Setup& saved = model->setups().front();
    EXPECT_EQ(saved.name, "Desk");
    EXPECT_EQ(saved.icon, "moon.fill");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(toQString(saved.id))
                    .hasMatch())
        << saved.id;
    EXPECT_EQ(saved.itemCount(), 0) << "an empty scene can be saved";
    EXPECT_NE(storedData(AppModel::Keys::setups).find("\"Desk\""), std::string::npos);
    EXPECT_EQ(closes, 1);
}

TEST_F(SceneEditorTest, SelectAllChoosesEveryItemAtDefaultsAndClearChoosesNone) {
    open();
    press(editorNames::disclosure);
    ScenePicker* picker = sheet->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(disclosure()->shownText(), "Power-ups");
    EXPECT_EQ(disclosure()->countText(), "0 selected");
    EXPECT_EQ(sheet->findChildren<CheckRow*>().size(), 100U) << "keep-awake, 5 power, 94 tweaks";
    EXPECT_THAT(checked(), IsEmpty());
    EXPECT_THAT(sliderValues(), IsEmpty());
    CheckRow* firstRow = sheet->findChildren<CheckRow*>().front();
    EXPECT_THAT(headings(), ElementsAre("POWER", "SLIDERS", "SCREENSHOTS", "DOCK", "FINDER",
                                        "KEYBOARD", "SYSTEM", "PERFORMANCE", "TRACKPAD", "PRIVACY",
                                        "MISSION CONTROL", "MENU BAR", "SAFARI"));
    EXPECT_EQ(part<CheckRow>(pickerNames::check("lid-close"))->tintIndex(), 5);
    EXPECT_EQ(part<CheckRow>(pickerNames::check("power-wake-on-power"))->tintIndex(), 5);
    EXPECT_EQ(part<CheckRow>(pickerNames::check("menubar-battery-percentage"))->tintIndex(), 4);

    // A slider moved first is set back to its default.
    press(pickerNames::include("slider-dock-size"));
    auto* dockSize = part<DoubleSlider>("slider.slider-dock-size");
    dockSize->setFocus();
    QTest::keyClick(dockSize, Qt::Key_Right);
    settle();
    EXPECT_THAT(sliderValues(), ElementsAre("52px"));

    press(pickerNames::selectAll);
    EXPECT_EQ(count(), "105 power-ups");
    EXPECT_EQ(disclosure()->countText(), "105 selected");
    EXPECT_EQ(checked().size(), 100U);
    EXPECT_THAT(sliderValues(), ElementsAre("48px", "80px", "2", "1\u00D7", "1\u00D7"));
    screenshot(*sheet, QStringLiteral("editor-select-all"));
    part<QScrollArea>(editorNames::scroll)
        ->ensureWidgetVisible(part(pickerNames::pick("slider-trackpad-tracking")));
    screenshot(*sheet, QStringLiteral("editor-select-all-sliders"));

    // Closing and opening keeps every choice, in the same rows.
    press(editorNames::disclosure);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(disclosure()->shownText(), "Or pick power-ups manually");
    press(editorNames::disclosure);
    EXPECT_EQ(sheet->picker(), picker);
    EXPECT_EQ(sheet->findChildren<CheckRow*>().front(), firstRow);
    EXPECT_EQ(count(), "105 power-ups");

    press(pickerNames::clear);
    EXPECT_EQ(count(), "0 power-ups");
    EXPECT_THAT(checked(), IsEmpty());
    EXPECT_THAT(sliderValues(), IsEmpty());
    EXPECT_FALSE(dockSize->isVisibleTo(sheet.get()));
}

TEST_F(SceneEditorTest, KeepAwakeAloneIsOnePowerUpAndTheSceneHoldsOnlyTheLidFlag) {
    open();
    typeName(QStringLiteral("Night"));
    press(editorNames::disclosure);
    press(pickerNames::check("lid-close"));
    EXPECT_EQ(count(), "1 power-up");
    press(pickerNames::check("power-low-power-mode"));
    EXPECT_EQ(count(), "2 power-ups");
    press(pickerNames::check("power-low-power-mode"));
    EXPECT_EQ(count(), "1 power-up");
    press(editorNames::save);
    ASSERT_EQ(model->setups().size(), 1U);
    const velmora::Setup& saved = model->setups().front();
    EXPECT_TRUE(saved.lidClose);
    EXPECT_THAT(saved.tweakIDs, IsEmpty());
    EXPECT_THAT(saved.powerToggleIDs, IsEmpty());
    EXPECT_THAT(saved.sliderValues, IsEmpty());
}

TEST_F(SceneEditorTest, ASliderIsIncludedOnlyByItsButtonAndAlwaysAtItsDefault) {
    open();
    press(editorNames::disclosure);
    auto* row = part(pickerNames::pick("slider-dock-magnification"));
    TextLabel* title = nullptr;
    for (TextLabel* label : row->findChildren<TextLabel*>()) {
        if (label->text() == "Dock magnification size") {
            title = label;
        }
    }
    ASSERT_NE(title, nullptr);
    click(title);
    settle();
    EXPECT_THAT(sliderValues(), IsEmpty()) << "the title takes no click";
    EXPECT_EQ(accessible(part(pickerNames::include("slider-dock-magnification"))),
              "CheckBox 'Dock magnification size' off");

    press(pickerNames::include("slider-dock-magnification"));
    EXPECT_THAT(sliderValues(), ElementsAre("80px"));
    EXPECT_EQ(count(), "1 power-up");
    auto* slider = part<DoubleSlider>("slider.slider-dock-magnification");
    EXPECT_TRUE(slider->isVisible());
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 80);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    settle();
    EXPECT_THAT(sliderValues(), ElementsAre("76px")) << "the value follows the slider";
    press(pickerNames::include("slider-dock-magnification"));
    EXPECT_THAT(sliderValues(), IsEmpty());
    EXPECT_FALSE(slider->isVisibleTo(sheet.get()));
    press(pickerNames::include("slider-dock-magnification"));
    EXPECT_THAT(sliderValues(), ElementsAre("80px")) << "included again, from the default";
}

TEST_F(SceneEditorTest, EditingLoadsTheSceneCancelOrEscapeStoresNothingAndSaveKeepsTheRest) {
    // The second scene names a tweak the catalog no longer has, an icon the strip does not
    // offer and a field of a newer version.
    putData(
        AppModel::Keys::setups,
        R"([{"id":"A","name":"First","icon":"moon.fill","tweakIDs":[],"powerToggleIDs":[],)"
        R"("sliderValues":{},"lidClose":false},)"
        R"({"id":"B","name":"Desk","icon":"hare","tweakIDs":["gone-tweak",)"
        R"("dev-show-hidden-files","dock-no-launch-bounce"],"powerToggleIDs":["power-low-power-mode"],)"
        R"("sliderValues":{"slider-dock-size":64},"lidClose":true,"colour":"teal"}])");
    model = make(Catalog::velmora());
    ASSERT_EQ(model->setups().size(), 2U);
    const std::string stored = storedData(AppModel::Keys::setups);
    const velmora::Setup desk = model->setups()[1];

    open(desk);
    EXPECT_EQ(part<TextLabel>(editorNames::title)->text(), "Edit scene");
    EXPECT_EQ(nameField()->text(), "Desk");
    EXPECT_TRUE(sheet->isPickerOpen());
    EXPECT_THAT(chosenIcons(), IsEmpty()) << "its icon is not in the strip";
    EXPECT_EQ(count(), "6 power-ups") << "the missing tweak counts too";
    EXPECT_THAT(checked(),
                ::testing::UnorderedElementsAre("lid-close", "power-low-power-mode",
                                                "dev-show-hidden-files", "dock-no-launch-bounce"));
    EXPECT_THAT(sliderValues(), ElementsAre("64px"));
    screenshot(*sheet, QStringLiteral("editor-edit"));
    typeName(QStringLiteral("Changed"));
    press(pickerNames::check("dock-no-launch-bounce"));
    press(editorNames::cancel);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(storedData(AppModel::Keys::setups), stored);
    EXPECT_EQ(model->setups()[1], desk);
    // Escape is Cancel, from the name field as from anywhere else in the sheet.
    open(desk);
    typeName(QStringLiteral("Changed"));
    QTest::keyClick(nameField(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(storedData(AppModel::Keys::setups), stored);

    open(desk);
    typeName(QStringLiteral("Desk two"));
    press(pickerNames::check("dock-no-launch-bounce"));
    press(pickerNames::check("dev-show-hidden-files"));
    press(pickerNames::check("dev-show-hidden-files"));
    press(editorNames::save);
    ASSERT_EQ(model->setups().size(), 2U) << "saved in place, not added";
    const velmora::Setup& saved = model->setups()[1];
    EXPECT_EQ(saved.id, "B");
    EXPECT_EQ(saved.name, "Desk two");
    EXPECT_EQ(saved.icon, "hare");
    // Catalog order, then the id the catalog no longer has.
    EXPECT_THAT(saved.tweakIDs, ElementsAre("dev-show-hidden-files", "gone-tweak"));
    EXPECT_THAT(saved.powerToggleIDs, ElementsAre("power-low-power-mode"));
    EXPECT_NE(storedData(AppModel::Keys::setups).find(R"("colour":"teal")"), std::string::npos);
    EXPECT_EQ(model->setups()[0].name, "First");
}

TEST_F(SceneEditorTest, FillingFromWhatIsOnReplacesTheChoicesAndKeepsTheNameAndIcon) {
    model->setTweak(catalogTweak("dock-no-launch-bounce"), true);
    mac.keepAwake = true;
    model->refresh();
    open();
    typeName(QStringLiteral("Work"));
    press(editorNames::icon("briefcase.fill"));
    press(editorNames::disclosure);
    press(pickerNames::check("dev-show-hidden-files"));
    press(pickerNames::include("slider-dock-size"));
    press(editorNames::disclosure);
    EXPECT_FALSE(sheet->isPickerOpen());

    press(editorNames::fill);
    EXPECT_TRUE(sheet->isPickerOpen());
    EXPECT_THAT(checked(), ::testing::UnorderedElementsAre("lid-close", "dock-no-launch-bounce"));
    EXPECT_EQ(nameField()->text(), "Work");
    EXPECT_THAT(chosenIcons(), ElementsAre("briefcase.fill"));
    const velmora::Setup capture = model->captureCurrentSetup("Work", "briefcase.fill");
    EXPECT_EQ(sheet->draft().sliderVals, capture.sliderValues);
    EXPECT_EQ(sheet->draft().count(), capture.itemCount());
    EXPECT_THAT(model->setups(), IsEmpty()) << "filling stores nothing";
}

TEST(SceneDraftName, TrimsTabsAndSpaceSeparatorsButNotLineBreaks) {
    SceneDraft draft = SceneDraft::fresh();
    for (const auto& [typed, trimmed] :
         std::vector<std::pair<std::string, std::string>>{{"\tDesk\u00A0", "Desk"},
                                                          {"\u2003 Desk  Top \u3000", "Desk  Top"},
                                                          {"\nDesk", "\nDesk"},
                                                          {" \t\u00A0", ""}}) {
        draft.name = typed;
        EXPECT_EQ(draft.trimmedName(), trimmed) << typed;
        EXPECT_EQ(draft.valid(), !trimmed.empty()) << typed;
    }
}

}  // namespace
}  // namespace velmora::testing
