// The case fixture: each case's simulated Mac, the launch, and the user's ways in and out.
#include "tests/e2e/EndToEnd.hpp"

#include <plist/plist.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "kit/UserProfile.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/e2e/RootAgent.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/shell/AppDelegate.hpp"

namespace velmora::e2e {

namespace {

constexpr int kBatteryStart = 50;
// The user's answer to the administrator prompt of the power fallback: dismissed. (The real
// prompt would ask for a password that no test knows.)
constexpr std::string_view kDismissedPrompt = "#!/bin/sh\nexit 126\n";
constexpr int kWheelMargin = 8;

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

// Notes when `widget` (or a widget inside it) receives a mouse release, or goes away.
class ReleaseWatch : public QObject {
  public:
    explicit ReleaseWatch(QWidget* widget) : widget_(widget) { qApp->installEventFilter(this); }
    ~ReleaseWatch() override { qApp->removeEventFilter(this); }
    bool seen() const { return seen_ || widget_.isNull(); }

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease && !widget_.isNull()) {
            auto* target = qobject_cast<QWidget*>(receiver);
            seen_ = seen_ ||
                    (target != nullptr && (target == widget_ || widget_->isAncestorOf(target)));
        }
        return false;
    }

  private:
    QPointer<QWidget> widget_;
    bool seen_ = false;
};

// The widget's rectangle inside the viewport of the scroll area that shows it, if any.
QAbstractScrollArea* scrollAreaOf(QWidget* widget) {
    for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(up)) {
            return area;
        }
    }
    return nullptr;
}

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
    if (delegate_) {
        screenshot(QStringLiteral("end"));
        delegate_.reset();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

AppModel& EndToEnd::model() {
    return AppModel::shared();
}

AppDelegate& EndToEnd::launch() {
    static bool launchedBefore = false;
    if (launchedBefore) {
        ADD_FAILURE() << "one case per process: run the end-to-end cases through ctest, or one "
                         "at a time with --gtest_filter";
        throw std::runtime_error("launched twice");
    }
    launchedBefore = true;
    delegate_ = std::make_unique<AppDelegate>();
    delegate_->applicationDidFinishLaunching();
    EXPECT_TRUE(
        QTest::qWaitForWindowExposed(delegate_->window.get(), static_cast<int>(patience.count())));
    return *delegate_;
}

void EndToEnd::openPanel() {
    ASSERT_TRUE(delegate_ && delegate_->statusItem) << "no tray icon to click";
    ASSERT_TRUE(waitFor([&] { return delegate_->statusItem->geometry().isValid(); }));
    x().click(delegate_->statusItem->geometry().center());
    ASSERT_TRUE(waitFor([&] { return delegate_->popover->isShown(); })) << "the panel did not open";
    ASSERT_TRUE(
        QTest::qWaitForWindowExposed(delegate_->popover.get(), static_cast<int>(patience.count())));
}

bool EndToEnd::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(condition, static_cast<int>(timeout.count()));
}

QWidget* EndToEnd::shown(const QString& name) {
    QWidget* found = nullptr;
    waitFor([&] { return (found = visibleWidget(name)) != nullptr; });
    EXPECT_NE(found, nullptr) << "no visible widget named " << name.toStdString();
    return found;
}

QWidget* EndToEnd::visibleWidget(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) {
            continue;
        }
        const QList<QWidget*> named =
            top->objectName() == name ? QList<QWidget*>{top} : top->findChildren<QWidget*>(name);
        for (QWidget* widget : named) {
            if (widget->isVisible()) {
                return widget;
            }
        }
    }
    return nullptr;
}

void EndToEnd::click(const QString& name) {
    QWidget* first = shown(name);
    ASSERT_NE(first, nullptr);
    // A row may be rebuilt under a new widget of the same name while the queued work runs.
    clickWhenSettled([&] { return visibleWidget(name); }, name.toStdString());
}

void EndToEnd::click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    const QPointer<QWidget> target(widget);
    clickWhenSettled([target] { return target.data(); }, widget->objectName().toStdString());
}

void EndToEnd::clickWhenSettled(const std::function<QWidget*()>& find, const std::string& what) {
    QWidget* widget = find();
    ASSERT_NE(widget, nullptr) << what;
    QWidget* top = widget->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(top, static_cast<int>(patience.count())));
    // The window manager may still be placing a window just shown: click only once the
    // application knows where the server has put it.
    ASSERT_TRUE(waitFor([&] { return x().origin(top->winId()) == top->mapToGlobal(QPoint()); }))
        << what << ": its window is still moving";
    // The queued work (the model's sync, layouts, deletions) runs, and the wheel brings the
    // widget into view, until it stays at the same place on two looks and nothing of ours covers
    // its centre.
    QPoint centre;
    QPoint lastCentre(-1, -1);
    QWidget* under = nullptr;
    const bool settled = waitFor([&] {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        widget = find();
        if (widget == nullptr || !widget->isVisible() || !stepIntoView(widget)) {
            return false;
        }
        centre = widget->mapToGlobal(widget->rect().center());
        under = QApplication::widgetAt(centre);
        const bool still = centre == lastCentre;
        lastCentre = centre;
        return still && (under == widget || widget->isAncestorOf(under));
    });
    ASSERT_TRUE(settled) << what << " is covered by "
                         << (under != nullptr ? under->objectName().toStdString()
                                              : std::string("nothing of ours"));
    // The next action waits until the application has taken this click's release: the window
    // manager may hold the pointer while it raises or focuses a window, and a pointer moved on
    // meanwhile would move this release with it.
    ReleaseWatch released(widget);
    x().click(centre);
    EXPECT_TRUE(waitFor([&] { return released.seen(); })) << what << " never got the release";
}

bool EndToEnd::stepIntoView(QWidget* widget) {
    QAbstractScrollArea* area = scrollAreaOf(widget);
    if (area == nullptr) {
        return true;
    }
    QWidget* viewport = area->viewport();
    const QRect inView(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
    if (viewport->rect().contains(inView)) {
        return true;
    }
    // Over the area's left margin, where no strip or slider takes the wheel for itself.
    const QPoint margin(kWheelMargin, viewport->height() / 2);
    x().wheel(viewport->mapToGlobal(margin), inView.top() < 0 ? -1 : 1);
    return false;
}

void EndToEnd::scrollIntoView(QWidget* widget) {
    const QPointer<QWidget> target(widget);
    EXPECT_TRUE(waitFor([&] {
        QCoreApplication::sendPostedEvents();
        return !target.isNull() && stepIntoView(target);
    })) << "cannot scroll to "
        << widget->objectName().toStdString();
}

void EndToEnd::choose(const QString& pill, const QString& item) {
    click(pill);
    QMenu* menu = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* shownMenu = qobject_cast<QMenu*>(top); shownMenu && shownMenu->isVisible()) {
                menu = shownMenu;
                return QTest::qWaitForWindowExposed(menu, 0);
            }
        }
        return false;
    })) << pill.toStdString()
        << " opened no menu";
    for (QAction* action : menu->actions()) {
        if (action->text().remove(QLatin1Char('&')) == QString(item).remove(QLatin1Char('&'))) {
            x().click(menu->mapToGlobal(menu->actionGeometry(action).center()));
            ASSERT_TRUE(waitFor([&] { return !menu->isVisible(); }));
            return;
        }
    }
    ADD_FAILURE() << pill.toStdString() << " offers no " << item.toStdString();
}

void EndToEnd::typeInto(const QString& name, const QString& text) {
    QWidget* field = shown(name);
    click(field);
    ASSERT_TRUE(waitFor([&] { return field->hasFocus(); })) << name.toStdString();
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
