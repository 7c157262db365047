// velmora-helper: the privileged service that runs pmset for signed clients. Started as root by
// hand or by the system's service manager; runs until it is killed.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "helper/HelperListener.hpp"
#include "helper/HelperLog.hpp"
#include "helper/HelperService.hpp"
#include "helper/RootOwnedPath.hpp"
#include "helper/TrustedAnchor.hpp"
#include "kit/HelperInfo.hpp"
#include "platform/CodeValidator.hpp"
#include "platform/SystemPaths.hpp"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr mode_t kUmask = 022;
constexpr const char* kOwnProgram = "/proc/self/exe";
constexpr const char* kInstallHint =
    "install the helper with its tools into a folder only root can write (see the README)";
constexpr const char* kSystemRootHint =
    "choose a system root (VELMORA_SYSTEM_ROOT) that, with every folder above it, only root can "
    "change";

int refuse(const std::string& why, const char* hint = nullptr) {
    std::fprintf(stderr, "velmora-helper: refusing to start: %s\n", why.c_str());
    if (hint != nullptr) {
        std::fprintf(stderr, "velmora-helper: %s\n", hint);
    }
    return 1;
}

// The pmset we run is the one installed beside this program; on a Mac, the system's own.
fs::path pmsetBeside(const fs::path& program) {
#ifdef __APPLE__
    (void)program;
    return "/usr/bin/pmset";
#else
    return program.parent_path() / "pmset";
#endif
}

}  // namespace

int main() {
    // A client that hangs up early must not kill the service while we write to it.
    ::signal(SIGPIPE, SIG_IGN);
    ::umask(kUmask);
    if (::geteuid() != 0) {
        return refuse("it must run as root");
    }

    // Whoever could change this program, the pmset it runs or a folder above either could run
    // their own code as root.
    const auto program = RootOwnedPath::program(kOwnProgram);
    if (!program) {
        return refuse(program.error(), kInstallHint);
    }
    const auto pmset = RootOwnedPath::program(pmsetBeside(program.value()));
    if (!pmset) {
        return refuse(pmset.error(), kInstallHint);
    }
    // Whoever could change a folder above the system root could move our socket or log folder
    // away and put their own in its place.
    std::error_code error;
    const fs::path rootPath = fs::weakly_canonical(fs::absolute(SystemPaths::root()), error);
    if (error) {
        return refuse(SystemPaths::root().string() + ": " + error.message());
    }
    static const auto systemRoot = RootOwnedPath::openFolder(rootPath, MissingFolders::create);
    if (!systemRoot) {
        return refuse("system root: " + systemRoot.error(), kSystemRootHint);
    }

    static HelperLog log(systemRoot.value(), SystemPaths::helperLogInRoot());
    static CodeValidator validator(trustedAnchor());
    static HelperService service(log, validator, pmset.value(), rootPath);
    auto listener = HelperListener::bind(
        systemRoot.value(), SystemPaths::helperSocketInRoot(HelperInfo::machServiceName()));
    if (!listener) {
        return refuse(listener.error());
    }
    log.write("helper " + HelperInfo::version() + " started");
    // It runs in the foreground: whoever started it by hand sees that it serves, and where.
    std::fprintf(stderr, "velmora-helper: listening on %s until stopped (Ctrl+C or kill)\n",
                 listener.value().path().c_str());
    listener.value().serve(service, log);
}
