// The first start on a desktop with a tray: the spiral in the tray, the window in front, and the
// onboarding questionnaire over it, whose answers end up in the application's own domain file.
#include <QSystemTrayIcon>

#include <nlohmann/json.hpp>

#include "kit/UserProfile.hpp"
#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "ui/shell/AppDelegate.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora::e2e {
namespace {

TEST_F(EndToEnd, FirstStartPutsTheSpiralInTheTrayAndTheWindowInFront) {
    AppDelegate& app = launch();
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable()) << "trayer runs for this case";
    ASSERT_TRUE(app.statusItem);
    // The tray has embedded the icon: the X server shows it in the tray along the top edge.
    std::vector<XSession::Window> icons;
    EXPECT_TRUE(waitFor([&] {
        icons = x().trayIconsOf(::getpid(), Desktop::current().trayPid());
        std::erase_if(icons, [](const XSession::Window& icon) { return !icon.viewable; });
        return icons.size() == 1;
    })) << icons.size()
        << " icons in the tray";
    EXPECT_TRUE(waitFor([&] { return app.statusItem->geometry().isValid(); }));
    if (!icons.empty()) {
        EXPECT_LT(icons.front().geometry.top(), Desktop::trayHeight);
        EXPECT_EQ(icons.front().geometry.center(), app.statusItem->geometry().center());
    }
    // The window is in front: it, or the onboarding sheet over it on a first start, is the one
    // the window manager made active.
    auto* root = qobject_cast<MainWindow*>(app.window->root());
    ASSERT_NE(root, nullptr);
    const auto ours = [&] {
        const auto active = x().activeWindow();
        return active == app.window->winId() ||
               (root->presentedSheet() != nullptr && active == root->presentedSheet()->winId());
    };
    EXPECT_TRUE(waitFor(ours)) << "active: " << x().describe(x().activeWindow().value_or(0));
    EXPECT_EQ(app.window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_FALSE(app.popover->isShown());
    screenshot(QStringLiteral("first-start"));
}

// The window's sheet factory: whether it makes the onboarding sheet at all yet.
bool windowPresentsOnboarding(MainWindow& window) {
    QDialog* sheet = MainWindow::defaultSheets()(MainWindow::Sheet::onboarding, window, [] {});
    const bool made = sheet != nullptr;
    delete sheet;
    return made;
}

TEST_F(EndToEnd, FirstStartAsksTheOnboardingQuestionsAndDoneStoresTheProfile) {
    AppDelegate& app = launch();
    auto* root = qobject_cast<MainWindow*>(app.window->root());
    ASSERT_NE(root, nullptr);
    if (!windowPresentsOnboarding(*root)) {
        GTEST_SKIP() << "the window does not present the onboarding sheet yet "
                        "(MainWindow::defaultSheets makes none)";
    }
    QWidget* sheet = shown(QStringLiteral("onboarding"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->window()->parentWidget() != nullptr ? sheet->window()->parentWidget()->window()
                                                         : nullptr,
              app.window.get())
        << "the sheet belongs to the main window";
    screenshot(QStringLiteral("onboarding"));
    click(QStringLiteral("onboarding.field.developer"));
    click(QStringLiteral("onboarding.next"));
    click(QStringLiteral("onboarding.goal.speed"));
    click(QStringLiteral("onboarding.next"));
    click(QStringLiteral("onboarding.device.laptop"));
    click(QStringLiteral("onboarding.next"));  // "Done" on the last step
    EXPECT_TRUE(waitFor([&] { return !sheet->isVisible(); }));

    const std::optional<std::string> text = appData("userProfile");
    ASSERT_TRUE(text.has_value()) << "no profile stored";
    const auto profile = nlohmann::json::parse(*text, nullptr, false);
    ASSERT_FALSE(profile.is_discarded()) << *text;
    EXPECT_EQ(profile.value("completedOnboarding", false), true) << *text;
    EXPECT_EQ(profile.value("fields", nlohmann::json()), nlohmann::json::array({"developer"}));
    EXPECT_EQ(profile.value("goals", nlohmann::json()), nlohmann::json::array({"speed"}));
    EXPECT_EQ(profile.value("device", std::string()), "laptop") << *text;
}

}  // namespace
}  // namespace velmora::e2e
