// The case fixture: each case's simulated Mac, the launch, and the user's ways in and out.
#include "tests/e2e/EndToEnd.hpp"

#include <plist/plist.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "kit/UserProfile.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/RootAgent.hpp"

namespace velmora::e2e {

namespace {

constexpr int kBatteryStart = 50;
// The user's answer to the administrator prompt of the power fallback: dismissed, each time noted
// beside the prompt. (The real prompt would ask for a password that no test knows.)
constexpr std::string_view kDismissedPrompt =
    "#!/bin/sh\necho dismissed >> \"$0.seen\"\nexit 126\n";
constexpr int kWheelMargin = 8;
// The most steps of the wheel turned at once on the way to an object.
constexpr int kMostWheelSteps = 10;

void writeFile(const fs::path& path, std::string_view text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::trunc | std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ProcessResult runTool(SystemTool tool, const std::vector<std::string>& arguments) {
    return ProcessRunner::run(SystemTools::path(tool).string(), arguments);
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

struct PlistNode {
    plist_t node = nullptr;
    ~PlistNode() {
        if (node != nullptr) {
            plist_free(node);
        }
    }
};

StoredValue describe(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            char* text = nullptr;
            plist_get_string_val(node, &text);
            StoredValue value{"string", text != nullptr ? text : ""};
            std::free(text);
            return value;
        }
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return {"integer", std::to_string(static_cast<int64_t>(number))};
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            std::ostringstream text;
            text << number;
            return {"real", text.str()};
        }
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return {"bool", flag != 0 ? "true" : "false"};
        }
        case PLIST_ARRAY:
            return {"array", std::to_string(plist_array_get_size(node))};
        case PLIST_DICT:
            return {"dict", ""};
        default:
            return {"other", ""};
    }
}

// Time for the tray to lay its icons out again: the icon must stay put this long before it is
// clicked.
constexpr std::chrono::milliseconds kTrayStill{300};

}  // namespace

void PrintTo(const StoredValue& value, std::ostream* out) {
    *out << value.kind << " \"" << value.text << '"';
}

const std::string& EndToEnd::appDomain() {
    static const std::string domain = VELMORA_BUNDLE_ID;
    return domain;
}

void EndToEnd::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = workFolder() / (std::string(info->test_suite_name()) + "." + info->name());
    // Each pass of a case starts on a Mac of its own: in a repeated run the case's earlier pass
    // left its stored profile and scenes and its dismissed prompts in this folder.
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    systemRoot_ = folder_ / "system";
    fs::create_directories(systemRoot_ / "Applications");
    fs::create_directories(systemRoot_ / "System/Applications");
    ::setenv("VELMORA_HOME_ROOT", homeRoot().c_str(), 1);
    ::setenv(SystemPaths::rootVariable, systemRoot_.c_str(), 1);
    ::setenv("VELMORA_POWER_SUPPLY_DIR", (folder_ / "power_supply").c_str(), 1);
    const fs::path prompt = folder_ / "dismissed-prompt";
    writeFile(prompt, kDismissedPrompt);
    fs::permissions(prompt, fs::perms::owner_all);
    ::setenv("VELMORA_PKEXEC", prompt.c_str(), 1);
    setBattery(kBatteryStart);
    x_ = std::make_unique<XSession>(qgetenv("DISPLAY").toStdString());
}

void EndToEnd::TearDown() {
    if (app_) {
        screenshot(QStringLiteral("end"));
        if (HasFailure()) {
            std::cerr << "velmora's standard error:\n" << app_->errors() << '\n';
        }
        app_.reset();
    }
}

int EndToEnd::promptsDismissed() const {
    std::ifstream seen(folder_ / "dismissed-prompt.seen");
    int count = 0;
    for (std::string line; std::getline(seen, line);) {
        ++count;
    }
    return count;
}

void EndToEnd::useSystemRoot(const fs::path& root) {
    systemRoot_ = root;
    ::setenv(SystemPaths::rootVariable, root.c_str(), 1);
}

void EndToEnd::setBattery(int percent) {
    const fs::path supply = folder_ / "power_supply";
    writeFile(supply / "AC/type", "Mains\n");
    writeFile(supply / "AC/online", "0\n");
    writeFile(supply / "BAT0/type", "Battery\n");
    writeFile(supply / "BAT0/status", "Discharging\n");
    writeFile(supply / "BAT0/present", "1\n");
    writeFile(supply / "BAT0/capacity", std::to_string(percent) + "\n");
}

void EndToEnd::defaultsWrite(const std::string& domain, const std::string& key,
                             const std::string& type, const std::string& value) {
    const ProcessResult result = runTool(SystemTool::defaults, {"write", domain, key, type, value});
    ASSERT_TRUE(result.succeeded()) << result.standardError;
}

std::optional<std::string> EndToEnd::defaultsRead(const std::string& domain,
                                                  const std::string& key) {
    const ProcessResult result = runTool(SystemTool::defaults, {"read", domain, key});
    if (!result.succeeded()) {
        return std::nullopt;
    }
    return trimmed(result.standardOutput);
}

fs::path EndToEnd::domainFile(const std::string& domain) const {
    const std::string name = domain == "NSGlobalDomain" ? ".GlobalPreferences" : domain;
    return homeRoot() / "Library/Preferences" / (name + ".plist");
}

std::optional<StoredValue> EndToEnd::stored(const std::string& domain, const std::string& key) {
    const std::string bytes = readFile(domainFile(domain));
    PlistNode root;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root.node);
    if (root.node == nullptr || plist_get_node_type(root.node) != PLIST_DICT) {
        return std::nullopt;
    }
    const plist_t item = plist_dict_get_item(root.node, key.c_str());
    if (item == nullptr) {
        return std::nullopt;
    }
    return describe(item);
}

namespace {

// Sets one item of the domain file, keeping the others.
void storeItem(const fs::path& file, const std::string& key, plist_t item) {
    const std::string bytes = readFile(file);
    PlistNode root;
    if (!bytes.empty()) {
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root.node);
    }
    if (root.node == nullptr) {
        root.node = plist_new_dict();
    }
    plist_dict_set_item(root.node, key.c_str(), item);
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.node, &xml, &length);
    writeFile(file, std::string_view(xml, length));
    plist_to_xml_free(xml);
}

}  // namespace

void EndToEnd::storeAppList(const std::string& key, const std::vector<std::string>& items) {
    plist_t list = plist_new_array();
    for (const std::string& item : items) {
        plist_array_append_item(list, plist_new_string(item.c_str()));
    }
    storeItem(domainFile(appDomain()), key, list);
}

void EndToEnd::storeAppData(const std::string& key, const std::string& bytes) {
    storeItem(domainFile(appDomain()), key,
              plist_new_data(bytes.data(), static_cast<uint64_t>(bytes.size())));
}

void EndToEnd::storeOnboardedProfile() {
    UserProfile profile;
    profile.completedOnboarding = true;
    storeAppData("userProfile", profile.toJson().dump());
}

std::optional<std::string> EndToEnd::appData(const std::string& key) {
    const std::string bytes = readFile(domainFile(appDomain()));
    PlistNode root;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root.node);
    const plist_t item = root.node != nullptr && plist_get_node_type(root.node) == PLIST_DICT
                             ? plist_dict_get_item(root.node, key.c_str())
                             : nullptr;
    if (item == nullptr || plist_get_node_type(item) != PLIST_DATA) {
        return std::nullopt;
    }
    char* data = nullptr;
    uint64_t length = 0;
    plist_get_data_val(item, &data, &length);
    std::string result(data != nullptr ? data : "", static_cast<std::size_t>(length));
    std::free(data);
    return result;
}

std::map<std::string, std::string> EndToEnd::pmsetSettings() {
    const ProcessResult result = runTool(SystemTool::pmset, {"-g"});
    std::map<std::string, std::string> settings;
    std::istringstream lines(result.standardOutput);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string key;
        std::string value;
        std::string extra;
        if (line.starts_with(' ') && (fields >> key >> value) && !(fields >> extra)) {
            settings[key] = value;
        }
    }
    return settings;
}

VelmoraProcess& EndToEnd::launch() {
    // Short: the instance socket's whole path must fit a socket address (108 bytes).
    const fs::path runtime = workFolder() / "rt";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    listenForWindows();
    app_ = std::make_unique<VelmoraProcess>(runtime);
    EXPECT_TRUE(waitFor([&] { return window("Velmora").has_value() || !app_->running(); }))
        << "no window on screen\n"
        << app_->errors();
    EXPECT_TRUE(app_->running()) << app_->errors();
    return *app_;
}

std::optional<Accessible> EndToEnd::window(const std::string& title) {
    const std::optional<Accessible> root = applicationOf(app_->pid());
    if (!root) {
        return std::nullopt;
    }
    for (Accessible& top : root->children()) {
        if (top.showing() && top.name() == title) {
            return std::move(top);
        }
    }
    return std::nullopt;
}

QRect EndToEnd::trayIcon() {
    QRect place;
    std::optional<QRect> before;
    auto lookedAt = std::chrono::steady_clock::now();
    const bool still = waitFor([&] {
        std::vector<XSession::Window> icons =
            x().trayIconsOf(app_->pid(), Desktop::current().trayPid());
        std::erase_if(icons, [](const XSession::Window& icon) { return !icon.viewable; });
        if (icons.size() != 1) {
            before.reset();
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (before != icons.front().geometry) {
            before = icons.front().geometry;
            lookedAt = now;
            return false;
        }
        place = icons.front().geometry;
        return now - lookedAt >= kTrayStill;
    });
    EXPECT_TRUE(still) << "no icon of velmora stays in the tray\n" << app_->errors();
    return place;
}

Accessible EndToEnd::openPanel() {
    const QRect icon = trayIcon();
    std::optional<Accessible> quit;
    const auto panelShown = [&] { return (quit = find({{"push button", "Quit"}})).has_value(); };
    x().click(icon.center());
    EXPECT_TRUE(waitFor(panelShown)) << "the panel did not open\n" << onScreen();
    const std::vector<Accessible> chain = chainOf({{"push button", "Quit"}});
    return chain.empty() ? Accessible() : chain.front();
}

bool EndToEnd::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(condition, static_cast<int>(timeout.count()));
}

std::vector<Accessible> EndToEnd::chainOf(const std::vector<Seek>& path) {
    const std::optional<Accessible> root = applicationOf(app_->pid());
    if (!root) {
        return {};
    }
    // A popup is over the windows: its objects come first.
    for (const Accessible& popup : popupsOf(app_->pid())) {
        std::vector<Accessible> chain = chainTo(popup, path);
        if (!chain.empty()) {
            chain.insert(chain.begin(), popup);
            return chain;
        }
    }
    return chainTo(*root, path);
}

std::optional<Accessible> EndToEnd::find(const std::vector<Seek>& path) {
    std::vector<Accessible> chain = chainOf(path);
    if (chain.empty()) {
        return std::nullopt;
    }
    return std::move(chain.back());
}

Accessible EndToEnd::shown(const std::vector<Seek>& path) {
    std::optional<Accessible> found;
    EXPECT_TRUE(waitFor([&] { return (found = find(path)).has_value(); }))
        << describe(path) << " is not on screen:\n"
        << onScreen();
    return found.value_or(Accessible());
}

std::string EndToEnd::onScreen() {
    const std::optional<Accessible> root = applicationOf(app_->pid());
    if (!root) {
        return "(velmora is not in the accessibility tree)";
    }
    std::string text = outline(*root);
    for (const Accessible& popup : popupsOf(app_->pid())) {
        text += "popup [" + popup.role() + "] \"" + popup.name() + "\"\n" + outline(popup);
    }
    return text;
}

std::optional<QRect> EndToEnd::settledInView(const std::vector<Seek>& path) {
    QRect place;
    QRect before;
    // How far one step of the wheel moves the page, learnt from the steps before: a far object
    // is reached in a few turns rather than one step at a time.
    int pixelsPerStep = 0;
    int stepsSent = 0;
    QRect wheeledFrom;
    const bool settled = waitFor([&] {
        const std::vector<Accessible> chain = chainOf(path);
        if (chain.empty()) {
            return false;
        }
        place = chain.back().extents();
        if (place.isEmpty()) {
            return false;
        }
        // What of it the screen and the objects above let through; a scroll area's viewport is
        // the one that cuts it. Objects above it that are themselves scrolled out of view (its
        // card, its section) lie wholly outside that view.
        QRect view(0, 0, Desktop::screenWidth, Desktop::screenHeight);
        for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
            const QRect up = chain[i].extents();
            if (!up.isEmpty() && view.intersects(up)) {
                view &= up;
            } else if (!up.isEmpty()) {
                break;
            }
        }
        if (view.isEmpty()) {
            return false;
        }
        if (!view.contains(place) && place.height() <= view.height()) {
            if (stepsSent > 0 && place.top() != wheeledFrom.top()) {
                pixelsPerStep = std::abs(place.top() - wheeledFrom.top()) / stepsSent;
            }
            const bool up = place.top() < view.top();
            const int distance = up ? view.top() - place.top() : place.bottom() - view.bottom();
            stepsSent = pixelsPerStep > 0
                            ? std::clamp(distance / pixelsPerStep + 1, 1, kMostWheelSteps)
                            : 1;
            wheeledFrom = place;
            // Over the area's left margin, where no strip or slider takes the wheel.
            x().wheel(QPoint(view.left() + kWheelMargin, view.center().y()),
                      up ? -stepsSent : stepsSent);
            before = QRect();
            return false;
        }
        if (!view.contains(place.center()) || !chain.back().showing()) {
            return false;
        }
        const bool still = place == before;
        before = place;
        return still;
    });
    if (!settled) {
        return std::nullopt;
    }
    return place;
}

void EndToEnd::click(const std::vector<Seek>& path) {
    const std::optional<QRect> place = settledInView(path);
    ASSERT_TRUE(place.has_value()) << describe(path) << " is not in view:\n" << onScreen();
    x().click(place->center());
}

void EndToEnd::goTo(const std::string& page) {
    // The sidebar's entries are page tabs: the current page's tab is the selected one.
    const std::vector<Seek> entry{{"page tab", page}};
    click(entry);
    EXPECT_TRUE(waitFor([&] { return shown(entry).selected(); }))
        << page << " is not marked current:\n"
        << onScreen();
}

bool EndToEnd::checked(const std::vector<Seek>& path) {
    return shown(path).checked();
}

void EndToEnd::choose(const std::vector<Seek>& button, const std::string& item) {
    click(button);
    const std::vector<Seek> entry{{"menu item", item}};
    click(entry);
    EXPECT_TRUE(waitFor([&] { return !find(entry).has_value(); }))
        << describe(button) << "'s menu stays open";
}

void EndToEnd::typeInto(const std::vector<Seek>& field, const QString& text) {
    click(field);
    ASSERT_TRUE(waitFor([&] { return shown(field).focused(); })) << describe(field);
    x().type(text);
}

void EndToEnd::screenshot(const QString& name) {
    QCoreApplication::processEvents();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder = artefactFolder();
    fs::create_directories(folder);
    const QString file =
        QString::fromStdString((folder / (std::string(info->test_suite_name()) + "." +
                                          info->name() + "-" + name.toStdString() + ".png"))
                                   .string());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(file)) << file.toStdString();
}

}  // namespace velmora::e2e
