// Starting the installed program as a user's session starts it.
#include "tests/e2e/VelmoraProcess.hpp"

#include <signal.h>
#include <sys/prctl.h>

namespace velmora::e2e {

VelmoraProcess::VelmoraProcess(const std::filesystem::path& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
    // What a desktop with a screen reader running gives every Qt program.
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process_.setProcessEnvironment(env);
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.start(QString::fromStdString(program().string()), {});
    process_.waitForStarted();
}

VelmoraProcess::~VelmoraProcess() {
    if (running()) {
        process_.kill();
        process_.waitForFinished();
    }
}

std::filesystem::path VelmoraProcess::program() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "velmora";
}

bool VelmoraProcess::ended(std::chrono::milliseconds within) {
    return !running() || process_.waitForFinished(static_cast<int>(within.count()));
}

std::string VelmoraProcess::errors() {
    errors_ += process_.readAllStandardError().toStdString();
    return errors_;
}

}  // namespace velmora::e2e
