// Resident memory of the application once a user has seen all of it: launched as its entry
// launches it over the real layers (its threads sharing the one heap), then every page shown in
// turn (home, On now, favourites, browse, each recipe, the search results, automations) and both
// sheets opened and closed, each step through the window's own state as its clicks change it,
// painted before the next. Prints "rss_kib <resident KiB>" and ends.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <functional>
#include <vector>

#include "ui/look/MemoryTidy.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/shell/AppDelegate.hpp"
#include "ui/window/MainWindow.hpp"

namespace {

using velmora::NavItem;
using velmora::WindowState;

// Long enough for the sync, the layout and a paint of the step's page on a loaded machine.
constexpr int kStepMs = 250;
constexpr int kSettleMs = 1000;

void runFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!timer.hasExpired(milliseconds)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
    }
}

long residentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    velmora::MemoryTidy::shareOneHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setQuitOnLastWindowClosed(false);
    velmora::AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    auto* window = qobject_cast<velmora::MainWindow*>(delegate.window->root());
    if (window == nullptr) {
        std::fprintf(stderr, "visit: the window has no main view\n");
        return 1;
    }
    runFor(kStepMs);

    std::vector<std::function<void(WindowState&)>> steps{
        [](WindowState& s) { s.chooseRow(NavItem::active()); },
        [](WindowState& s) { s.chooseRow(NavItem::favorites()); },
        [](WindowState& s) { s.chooseRow(NavItem::browse()); },
        [](WindowState& s) { s.chooseRow(NavItem::automations()); },
    };
    for (const velmora::Recipe& recipe : velmora::AppModel::shared().recipes()) {
        steps.push_back([id = recipe.id](WindowState& s) { s.openRecipe(id); });
    }
    steps.push_back([](WindowState& s) { s.query = "dock"; });
    steps.push_back([](WindowState& s) { s.chooseRow(NavItem::home()); });
    steps.push_back([](WindowState& s) { s.openEditor(std::nullopt); });
    steps.push_back([](WindowState& s) { s.showEditor = false; });
    steps.push_back([](WindowState& s) { s.showOnboarding = true; });
    steps.push_back([](WindowState& s) { s.showOnboarding = false; });
    for (const auto& step : steps) {
        window->change(step);
        runFor(kStepMs);
    }
    runFor(kSettleMs);
    std::printf("rss_kib %ld\n", residentKib());
    return 0;
}
