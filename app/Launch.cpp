// The velmora program's run: one instance per user, the launch sequence, then the event loop.
#include "app/Launch.hpp"

#include <QApplication>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "ui/look/AppFonts.hpp"
#include "ui/look/DrawnAhead.hpp"
#include "ui/look/MemoryTidy.hpp"
#include "ui/shell/SingleInstance.hpp"
#include "ui/shell/TerminationSignals.hpp"

namespace {

using velmora::AppDelegate;
using velmora::SingleInstance;
using velmora::TerminationSignals;

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

namespace velmora {

int runApplication(int argc, char** argv, const std::function<void(AppDelegate&)>& launched) {
    if (!hasDisplay()) {
        std::fputs(
            "velmora: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY "
            "is set).\nRun it inside a graphical session, or under a virtual display: "
            "xvfb-run -a scripts/run\n",
            stderr);
        return EXIT_FAILURE;
    }
    MemoryTidy::shareOneHeap();
    QApplication app(argc, argv);
    // Qt splits the large fills of a paint across its global thread pool, whose threads otherwise
    // stay 30 s after the last of them: an application left alone after its first paint would
    // wake for each of them inside its first idle minute.
    QThreadPool::globalInstance()->setExpiryTimeout(DrawnAhead::idleThreadMs);
    // The font configuration's set-up is the longest step before the window can be built, and
    // needs only the application object: it starts at once, beside the instance check.
    std::unique_ptr<AppFonts::Pending> fonts = AppFonts::registerInBackground();
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    // Closing the window leaves the application running beside its status item.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    switch (instance.claim()) {
        case SingleInstance::Role::secondary:
            if (instance.requestReopen()) {
                return EXIT_SUCCESS;
            }
            std::fputs("velmora: another instance is running but did not answer\n", stderr);
            return EXIT_FAILURE;
        case SingleInstance::Role::unavailable:
            std::fputs(
                "velmora: no private folder for the instance lock; a second start will "
                "open a second instance\n",
                stderr);
            break;
        case SingleInstance::Role::primary:
            break;
    }
    // From here on the instance owns its lock and socket: a termination signal quits as "Quit"
    // does, so that both are removed. Queued, so that a signal during the launch quits once the
    // event loop runs.
    TerminationSignals terminations;
    if (!terminations.install([] {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        })) {
        std::fputs(
            "velmora: cannot watch for termination signals; a kill leaves the instance "
            "lock behind\n",
            stderr);
    }

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching(std::move(fonts));
    if (launched) {
        launched(delegate);
    }
    instance.listen([&delegate] { delegate.reopenRequested(); });
    return QApplication::exec();
}

}  // namespace velmora
