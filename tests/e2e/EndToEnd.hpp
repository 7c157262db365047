// One case of the end-to-end run: a simulated Mac of its own, the installed velmora started on
// the run's X display as its own process, and what a user does and sees. What to click is found
// as a screen reader finds it (by role and name, in the accessibility tree over AT-SPI) and
// clicked or typed at through the X server; outcomes are read where a user or another program
// reads them: the window's texts and states over AT-SPI, the domain files with the defaults
// stand-in and libplist, the power settings with pmset.
//
//     TEST_F(EndToEnd, SomethingAUserDoes) {
//         defaultsWrite("com.apple.dock", "autohide", "-bool", "false");   // the Mac before
//         launch();
//         click({{"push button", "Browse all"}});                           // as a user would
//         EXPECT_TRUE(waitFor([&] { return defaultsRead(...) == "1"; }));   // as a program sees it
//         screenshot(u"browse"_s);
//     }
#pragma once

#include <sys/types.h>

#include <QRect>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/Accessible.hpp"
#include "tests/e2e/VelmoraProcess.hpp"
#include "tests/e2e/XSession.hpp"

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
    // How often the administrator prompt came up (and the user dismissed it).
    int promptsDismissed() const;
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

    // Starts the installed velmora and waits until its window is on screen and in its
    // accessibility tree.
    VelmoraProcess& launch();
    VelmoraProcess& app() { return *app_; }
    // The program's window of that name (its title) on screen, through the tree.
    std::optional<Accessible> window(const std::string& title);
    // Clicks the spiral in the tray and waits until the panel is on screen; the panel.
    Accessible openPanel();
    // The tray icon's place, once the tray has embedded it and stopped moving it.
    QRect trayIcon();

    // The user's side.
    XSession& x() { return *x_; }
    // Waits for `condition`, running the event loop meanwhile.
    static bool waitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = patience);
    // The visible object along the path (see findVisible) at this moment.
    std::optional<Accessible> find(const std::vector<Seek>& path);
    // The same, once there is one; fails the case (with what is on screen) when none comes.
    Accessible shown(const std::vector<Seek>& path);
    // Brings the object into view (the wheel over its scroll area, as a user scrolls), waits
    // until it stays in place, and clicks its centre through the X server.
    void click(const std::vector<Seek>& path);
    // Clicks the sidebar's entry of that page and waits until the sidebar marks it current.
    void goTo(const std::string& page);
    // Whether the object, once shown, says it is checked (a switch on, a row applied).
    bool checked(const std::vector<Seek>& path);
    // Opens the menu button of that name and clicks its item with the text.
    void choose(const std::vector<Seek>& button, const std::string& item);
    // Clicks into the text field and types `text` through the keyboard.
    void typeInto(const std::vector<Seek>& field, const QString& text);
    // The whole screen (window manager, tray, every window) as the user sees it now, saved under
    // the build's artefacts/e2e.
    void screenshot(const QString& name);
    // What the tree shows now, for a failure's message.
    std::string onScreen();

  private:
    // The object along the path with the objects above it (its window or popup first), searched
    // in the popups on screen first, then in the windows.
    std::vector<Accessible> chainOf(const std::vector<Seek>& path);
    // The object's chain and its place, once it lies in view and stays put.
    std::optional<QRect> settledInView(const std::vector<Seek>& path);

    fs::path folder_;
    fs::path systemRoot_;
    std::unique_ptr<XSession> x_;
    std::unique_ptr<VelmoraProcess> app_;
};

}  // namespace velmora::e2e
