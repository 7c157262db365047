// The move to an unprivileged user, the root agent's loop, and the tests' side of it.
#include "tests/e2e/RootAgent.hpp"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include "kit/HelperInfo.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/UniqueFd.hpp"
#include "platform/UnixSocket.hpp"
#include "tests/e2e/ChildProcess.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora::e2e {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAgentVariable = "VELMORA_E2E_AGENT";
constexpr const char* kWorkVariable = "VELMORA_E2E_WORK";
constexpr const char* kArtefactVariable = "VELMORA_E2E_ARTEFACTS";
constexpr const char* kUser = "nobody";
constexpr const char* kInstalledName = "velmora-e2e";
constexpr fs::perms kPrivateFolder = fs::perms(0700);
constexpr std::chrono::hours kAgentPatience{24};
constexpr std::chrono::seconds kHelperStartTimeout{20};
constexpr std::chrono::milliseconds kHelperPoll{20};

int fail(const std::string& message) {
    std::cerr << "e2e: " << message << '\n';
    return EXIT_FAILURE;
}

// What the agent owns: the temporary root-owned tree and the helper it runs in it.
struct AgentLayout {
    fs::path top;     // root-owned, 0755: nobody but root may change what is inside
    fs::path prefix;  // the install
    fs::path work;    // the user's own folder
    fs::path helperSystemRoot;
    fs::path artefactsTo;
};

fs::path socketOf(const fs::path& systemRoot) {
    return systemRoot / SystemPaths::helperSocketInRoot(HelperInfo::machServiceName());
}

bool listening(const fs::path& socket) {
    const UniqueFd fd = openUnixSocket(SocketBlocking::blocking);
    return fd && connectUnixSocket(fd.get(), socket, SocketClock::now() + kHelperPoll).ok();
}

std::string startHelper(const AgentLayout& layout, ChildProcess& helper) {
    if (helper.running()) {
        return "ok " + layout.helperSystemRoot.string();
    }
    fs::create_directories(layout.helperSystemRoot);
    const fs::path log = layout.top / "helper-errors";
    helper = ChildProcess(layout.prefix / "libexec/velmora/velmora-helper", {},
                          {{{"VELMORA_SYSTEM_ROOT", layout.helperSystemRoot.string()}}, log, -1});
    const auto deadline = std::chrono::steady_clock::now() + kHelperStartTimeout;
    while (!listening(socketOf(layout.helperSystemRoot))) {
        if (!helper.running() || std::chrono::steady_clock::now() >= deadline) {
            helper.stop();
            std::string reason =
                ProcessRunner::run("/usr/bin/tail", {"-n", "3", log.string()}).standardOutput;
            std::replace(reason.begin(), reason.end(), '\n', ' ');
            return "failed the helper did not start: " + reason;
        }
        std::this_thread::sleep_for(kHelperPoll);
    }
    return "ok " + layout.helperSystemRoot.string();
}

[[noreturn]] void agentLoop(UniqueFd channel, const AgentLayout& layout) {
    ChildProcess helper;
    while (const auto command = readLine(channel.get(), kAgentPatience)) {
        std::string answer;
        if (*command == "start") {
            answer = startHelper(layout, helper);
        } else if (*command == "stop") {
            helper.stop();
            answer = "ok";
        } else {
            answer = "failed unknown command";
        }
        answer += '\n';
        if (::send(channel.get(), answer.data(), answer.size(), MSG_NOSIGNAL) < 0) {
            break;
        }
    }
    // The tests have ended (or died): nothing of theirs stays behind.
    helper.stop();
    std::error_code ignored;
    const fs::path shots = layout.work / "artefacts";
    if (fs::exists(shots)) {
        fs::create_directories(layout.artefactsTo, ignored);
        fs::copy(shots, layout.artefactsTo,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ignored);
    }
    fs::remove_all(layout.top, ignored);
    std::_Exit(EXIT_SUCCESS);
}

std::optional<int> dropTo(const passwd& user) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(user.pw_gid, user.pw_gid, user.pw_gid) != 0 ||
        ::setresuid(user.pw_uid, user.pw_uid, user.pw_uid) != 0 || ::getuid() == 0) {
        return fail(std::string("cannot become ") + kUser + ": " + std::strerror(errno));
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> runAsUserWithRootAgent(int argc, char** argv) {
    if (::geteuid() != 0 || std::getenv(kAgentVariable) != nullptr) {
        return std::nullopt;
    }
    const passwd* found = ::getpwnam(kUser);
    if (found == nullptr) {
        return fail(std::string("no user ") + kUser + " to run the application as");
    }
    const passwd user = *found;

    // Removed here should the move fail; once it succeeds, by the agent when the tests end.
    std::optional<testing::TempFolder> top;
    try {
        top.emplace("velmora-e2e", testing::TempFolder::Reach::everyone);
    } catch (const std::runtime_error& error) {
        return fail(error.what());
    }
    const fs::path made = top->path();
    AgentLayout layout{made, made / "prefix", made / "work", made / "mac/system",
                       fs::path(VELMORA_BINARY_DIR) / "artefacts/e2e"};
    // The X server's socket folder, should this machine not have it yet: root's, open to all.
    if (::mkdir("/tmp/.X11-unix", 01777) == 0) {
        ::chmod("/tmp/.X11-unix", 01777);
    }

    // The install step as a user runs it, into the root-owned prefix (through the build's script
    // that leaves the user's build/install_manifest.txt alone); then this program beside the
    // installed application, so that it finds the installed tools and resources as the
    // application does.
    const ProcessResult installed = ProcessRunner::run(
        VELMORA_CMAKE_COMMAND, {"-DCMAKE_INSTALL_PREFIX=" + layout.prefix.string(), "-P",
                                std::string(VELMORA_BINARY_DIR) + "/install-elsewhere.cmake"});
    if (!installed.succeeded()) {
        return fail("the install step failed:\n" + installed.standardOutput +
                    installed.standardError);
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path moved = layout.prefix / "bin" / kInstalledName;
    // A link where the file system allows one: this program is large, and each case moves.
    for (const auto& [from, to] :
         {std::pair{self, moved},
          std::pair{fs::path(self.string() + ".sig"), fs::path(moved.string() + ".sig")}}) {
        std::error_code notLinked;
        fs::create_hard_link(from, to, notLinked);
        if (notLinked) {
            fs::copy_file(from, to);
        }
    }
    fs::create_directories(layout.work);
    fs::permissions(layout.work, kPrivateFolder);
    if (::chown(layout.work.c_str(), user.pw_uid, user.pw_gid) != 0) {
        return fail("cannot give the work folder to " + std::string(kUser));
    }

    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return fail("cannot make the agent's channel");
    }
    UniqueFd ours(ends[0]);
    UniqueFd agents(ends[1]);
    const pid_t agent = ::fork();
    if (agent < 0) {
        return fail("cannot start the agent");
    }
    if (agent == 0) {
        ours.reset();
        agentLoop(std::move(agents), layout);
    }
    agents.reset();

    if (auto failed = dropTo(user)) {
        return failed;
    }
    const int flags = ::fcntl(ours.get(), F_GETFD);
    ::fcntl(ours.get(), F_SETFD, flags & ~FD_CLOEXEC);
    ::setenv(kAgentVariable, std::to_string(ours.release()).c_str(), 1);
    ::setenv(kWorkVariable, layout.work.c_str(), 1);
    ::setenv(kArtefactVariable, (layout.work / "artefacts").c_str(), 1);
    ::setenv("HOME", layout.work.c_str(), 1);
    ::setenv("TMPDIR", layout.work.c_str(), 1);
    ::execv(moved.c_str(), argv);
    (void)argc;
    return fail("cannot start " + moved.string() + ": " + std::strerror(errno));
}

fs::path workFolder() {
    static const fs::path folder = [] {
        if (const char* work = std::getenv(kWorkVariable)) {
            return fs::path(work);
        }
        // Removed at exit: the run without an agent cleans up after itself.
        static const testing::TempFolder made("velmora-e2e");
        return made.path();
    }();
    return folder;
}

fs::path artefactFolder() {
    if (const char* folder = std::getenv(kArtefactVariable)) {
        return folder;
    }
    const char* build = std::getenv("VELMORA_BUILD_DIR");
    return fs::path(build != nullptr ? build : VELMORA_BINARY_DIR) / "artefacts/e2e";
}

HelperAgent* HelperAgent::instance() {
    static HelperAgent* const agent = []() -> HelperAgent* {
        const char* fd = std::getenv(kAgentVariable);
        return fd != nullptr ? new HelperAgent(std::atoi(fd)) : nullptr;
    }();
    return agent;
}

std::string HelperAgent::ask(const std::string& command) {
    const std::string line = command + "\n";
    if (::send(fd_, line.data(), line.size(), MSG_NOSIGNAL) < 0) {
        return "failed the agent is gone";
    }
    return readLine(fd_, kHelperStartTimeout * 2).value_or("failed the agent did not answer");
}

HelperAgent::Started HelperAgent::start() {
    const std::string answer = ask("start");
    if (answer.starts_with("ok ")) {
        return {fs::path(answer.substr(3)), {}};
    }
    return {std::nullopt, answer};
}

bool HelperAgent::stop() {
    return ask("stop") == "ok";
}

}  // namespace velmora::e2e
