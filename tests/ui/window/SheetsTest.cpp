// The window's sheets end to end: the questionnaire on a first launch and from the profile
// button, and the scene editor from the scenes list's "+" and "Edit…", each changing what the
// sidebar shows once it closes.
#include <QLineEdit>
#include <QMenu>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sheets/OnboardingDialog.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/ScenesSection.hpp"

namespace velmora::testing {
namespace {

class WindowSheets : public WindowTest {
  protected:
    void openWithSheets() { open(smallCatalog(), designSize, MainWindow::defaultSheets()); }

    template <class Sheet>
    Sheet* presented() const {
        return qobject_cast<Sheet*>(window->presentedSheet());
    }
    // Clicks the part of the sheet on screen named `name`.
    void press(const QString& name) {
        ASSERT_NE(window->presentedSheet(), nullptr);
        click(find(*window->presentedSheet(), name));
        settle();
    }
    QString profileSummary() const {
        return find<TextLabel>(*window, "sidebar.profileSummary")->text();
    }
    bool tuned() const { return find<TextLabel>(*window, "sidebar.profileSummary")->isVisible(); }
    LabelButton* profileButton() const {
        return find<LabelButton>(*window, "sidebar.profileButton");
    }
    // The window as the user sees it, the sheet over it where it stands.
    void screenshotWithSheet(const QString& name) {
        settle();
        ASSERT_NE(window->presentedSheet(), nullptr);
        EXPECT_TRUE(window->grab().save(test::artefactPath(name + QStringLiteral(".png"))));
    }
    void edit(const std::string& sceneID) {
        auto* row = find<SceneRow>(*window, sceneNames::row(sceneID));
        ASSERT_NE(row, nullptr);
        QMenu* menu = row->openMenu(row->mapToGlobal(row->rect().center()));
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Edit\u2026")) {
                action->trigger();
            }
        }
        menu->close();
        settle();
    }
};

TEST_F(WindowSheets, AFirstLaunchAsksTheQuestionsAndTheSidebarShowsTheAnswers) {
    openWithSheets();
    auto* sheet = presented<OnboardingDialog>();
    ASSERT_NE(sheet, nullptr) << "the questionnaire opens as the window shows";
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(sheet->isWindow()) << "a sheet has no frame of its own";
    EXPECT_TRUE(window->isAncestorOf(sheet));
    // Centred over the window, whose content is dimmed around it, and kept centred as the
    // window changes size.
    const auto centreOf = [&] {
        return sheet->mapTo(window.get(), sheet->rect().center()) - window->rect().center();
    };
    EXPECT_LE(centreOf().manhattanLength(), 1);
    const QImage dimmed = window->grab().toImage();
    const QColor corner = dimmed.pixelColor(dimmed.width() - 3, dimmed.height() - 3);
    EXPECT_LT(corner.lightness(), Theme::paper().lightness()) << "the content behind is dimmed";
    window->resize(1280, 800);
    settle();
    EXPECT_LE(centreOf().manhattanLength(), 1);
    window->resize(designSize);
    settle();
    EXPECT_EQ(profileButton()->label(), "Personalize");
    screenshotWithSheet(QStringLiteral("window-onboarding"));

    press(onboardingNames::field("developer"));
    press(onboardingNames::field("designer"));
    press(onboardingNames::next);
    press(onboardingNames::next);
    press(onboardingNames::device("desktop"));
    press(onboardingNames::next);
    EXPECT_EQ(window->presentedSheet(), nullptr);
    EXPECT_FALSE(state().showOnboarding);
    EXPECT_TRUE(tuned());
    EXPECT_EQ(profileSummary(), "Developer, Designer \u00B7 Desktop");
    EXPECT_EQ(profileButton()->label(), "Update preferences");

    // Shown again (the window closed and reopened): a completed questionnaire stays closed.
    window->hide();
    window->show();
    settle();
    EXPECT_EQ(window->presentedSheet(), nullptr);

    // "Update preferences" shows the answers as stored, and Skip keeps them.
    click(profileButton());
    settle();
    sheet = presented<OnboardingDialog>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(find<QAbstractButton>(*sheet, onboardingNames::field("designer"))->isChecked());
    press(onboardingNames::field("designer"));
    press(onboardingNames::skip);
    EXPECT_EQ(window->presentedSheet(), nullptr);
    EXPECT_EQ(profileSummary(), "Developer, Designer \u00B7 Desktop");
    EXPECT_EQ(model->profile().device, DeviceKind::desktop);
}

TEST_F(WindowSheets, TheScenesListOpensTheEditorForANewSceneAndForTheSceneItsMenuEdits) {
    putData(AppModel::Keys::userProfile, R"({"fields":[],"goals":[],"device":"laptop",)"
                                         R"("completedOnboarding":true})");
    openWithSheets();
    ASSERT_EQ(window->presentedSheet(), nullptr);

    click(find(*window, sceneNames::add));
    settle();
    auto* editor = presented<SceneEditorDialog>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(find<TextLabel>(*editor, editorNames::title)->text(), "Build a scene");
    QTest::keyClicks(find<QLineEdit>(*editor, editorNames::name), QStringLiteral("Desk"));
    press(editorNames::disclosure);
    press(pickerNames::check("t-a"));
    press(editorNames::save);
    EXPECT_EQ(window->presentedSheet(), nullptr);
    ASSERT_EQ(model->setups().size(), 1U);
    const std::string id = model->setups().front().id;
    auto* row = find<SceneRow>(*window, sceneNames::row(id));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->shownName(), "Desk");

    edit(id);
    editor = presented<SceneEditorDialog>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(find<TextLabel>(*editor, editorNames::title)->text(), "Edit scene");
    EXPECT_EQ(find<QLineEdit>(*editor, editorNames::name)->text(), "Desk");
    EXPECT_TRUE(find<QAbstractButton>(*editor, pickerNames::check("t-a"))->isChecked());
    screenshotWithSheet(QStringLiteral("window-scene-editor"));
    press(pickerNames::check("t-b"));
    press(editorNames::cancel);
    EXPECT_EQ(window->presentedSheet(), nullptr);
    EXPECT_THAT(model->setups().front().tweakIDs, ElementsAre("t-a")) << "Cancel stores nothing";

    edit(id);
    QLineEdit* name = find<QLineEdit>(*presented<SceneEditorDialog>(), editorNames::name);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Studio"));
    press(pickerNames::check("t-b"));
    press(editorNames::save);
    ASSERT_EQ(model->setups().size(), 1U) << "the edited scene is replaced, not added";
    EXPECT_EQ(model->setups().front().id, id);
    EXPECT_THAT(model->setups().front().tweakIDs, ElementsAre("t-a", "t-b"));
    EXPECT_EQ(find<SceneRow>(*window, sceneNames::row(id))->shownName(), "Studio");
}

}  // namespace
}  // namespace velmora::testing
