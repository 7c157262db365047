// One case of the end-to-end run: a simulated Mac of its own, the application launched in this
// process exactly as its entry launches it (AppDelegate over AppModel::live() on the run's X
// display), and what a user does and sees: widgets found by object name and clicked or typed at
// through the X server, results read back where other programs read them (the domain files with
// the defaults stand-in and libplist, the power settings with pmset).
//
// Each case needs a process of its own (the application's model is made once per process), as
// ctest runs them. A new case:
//
//     TEST_F(EndToEnd, SomethingAUserDoes) {
//         defaultsWrite("com.apple.dock", "autohide", "-bool", "false");  // the Mac before
//         launch();
//         click(u"nav.browse"_s);                                         // as a user would
//         EXPECT_TRUE(waitFor([&] { return defaultsRead(...) == "1"; })); // as a program sees it
//         screenshot(u"browse"_s);
//     }
#pragma once

#include <sys/types.h>

#include <QString>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/XSession.hpp"
#include "ui/shell/AppDelegate.hpp"

namespace velmora {
class AppModel;
}  // namespace velmora

namespace velmora::e2e {

namespace fs = std::filesystem;

// A value as a domain file holds it: its property-list kind and its text.
struct StoredValue {
    std::string kind;  // "string", "integer", "real", "bool", "array", "dict", "data", "date"
    std::string text;
    friend bool operator==(const StoredValue&, const StoredValue&) = default;
};
void PrintTo(const StoredValue& value, std::ostream* out);

class EndToEnd : public ::testing::Test {
  public:
    // Generous: a loaded two-core machine runs tools and repaints slowly, and a wait ends as soon
    // as its condition holds.
    static constexpr std::chrono::milliseconds patience{15000};
    // The domain of the application's own settings.
    static const std::string& appDomain();

  protected:
    void SetUp() override;
    void TearDown() override;

    // The simulated Mac: a home root, a system root with its application folders, a battery.
    fs::path caseFolder() const { return folder_; }
    fs::path homeRoot() const { return folder_ / "home"; }
    fs::path systemRoot() const { return systemRoot_; }
    // Before launch: serve the Mac from another system root (the helper's).
    void useSystemRoot(const fs::path& root);
    // The machine's one battery, discharging, and its adaptor unplugged.
    void setBattery(int percent);

    // The domain files, as the defaults stand-in writes and reads them. Values are typed as the
    // stand-in takes them ("-string", "-int", "-bool", "-float").
    void defaultsWrite(const std::string& domain, const std::string& key, const std::string& type,
                       const std::string& value);
    // What `defaults read` prints (without its line feed); none when it finds no such key.
    std::optional<std::string> defaultsRead(const std::string& domain, const std::string& key);
    // The value in the domain's file, read with libplist; none when the key is absent.
    std::optional<StoredValue> stored(const std::string& domain, const std::string& key);
    // The application's own settings, which the stand-in neither writes nor shows: lists of ids,
    // and JSON records kept as data.
    void storeAppList(const std::string& key, const std::vector<std::string>& items);
    void storeAppData(const std::string& key, const std::string& bytes);
    std::optional<std::string> appData(const std::string& key);
    // A user who has answered the onboarding questions before: no sheet over the window.
    void storeOnboardedProfile();
    fs::path domainFile(const std::string& domain) const;
    // `pmset -g`'s settings, key to value.
    std::map<std::string, std::string> pmsetSettings();

    // The launch steps of the program's entry, once per process; waits until the window is up.
    AppDelegate& launch();
    AppDelegate& delegate() const { return *delegate_; }
    // Clicks the spiral in the tray and waits until the panel is on screen.
    void openPanel();
    static AppModel& model();

    // The user's side.
    XSession& x() { return *x_; }
    // Waits for `condition`, running the event loop meanwhile.
    static bool waitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = patience);
    // The visible widget of that name in any of the application's windows, once there is one.
    QWidget* shown(const QString& name);
    // Brings the widget into view (the wheel over its scroll area, as a user scrolls) and clicks
    // its centre through the X server; fails the case when something else would take the click.
    void click(const QString& name);
    void click(QWidget* widget);
    // Opens the menu pill of that name and clicks its item with the text.
    void choose(const QString& pill, const QString& item);
    // Clicks into the text field of that name and types `text` through the keyboard.
    void typeInto(const QString& name, const QString& text);
    // Brings the widget into view within its scroll area, as a user scrolls to it.
    void scrollIntoView(QWidget* widget);
    // The whole screen (window manager, tray, every window) as the user sees it now, saved under
    // the build's artefacts/e2e.
    void screenshot(const QString& name);

  private:
    static QWidget* visibleWidget(const QString& name);
    // True when the widget lies inside its scroll area's view; else one wheel step towards it.
    bool stepIntoView(QWidget* widget);
    void clickWhenSettled(const std::function<QWidget*()>& find, const std::string& what);

    fs::path folder_;
    fs::path systemRoot_;
    std::unique_ptr<XSession> x_;
    std::unique_ptr<AppDelegate> delegate_;
};

}  // namespace velmora::e2e
