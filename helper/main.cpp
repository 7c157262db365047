// velmora-helper: the privileged service that runs pmset for signed clients. Started as root by
// hand or by the system's service manager; runs until it is killed.
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "helper/HelperListener.hpp"
#include "helper/HelperLog.hpp"
#include "helper/HelperService.hpp"
#include "helper/TrustedAnchor.hpp"
#include "kit/HelperInfo.hpp"
#include "platform/CodeValidator.hpp"
#include "platform/SystemPaths.hpp"

namespace {
constexpr mode_t kUmask = 022;
}

int main() {
    using namespace velmora;
    // A client that hangs up early must not kill the service while we write to it.
    ::signal(SIGPIPE, SIG_IGN);
    ::umask(kUmask);

    const auto logPath = SystemPaths::helperLog();
    std::error_code ignored;
    std::filesystem::create_directories(logPath.parent_path(), ignored);
    static HelperLog log(logPath);
    static CodeValidator validator(trustedAnchor());
    static HelperService service(log, validator);

    auto listener = HelperListener::bind(SystemPaths::helperSocket(HelperInfo::machServiceName()));
    if (!listener) {
        std::fprintf(stderr, "velmora-helper: %s\n", listener.error().c_str());
        return 1;
    }
    log.write("helper " + HelperInfo::version() + " started");
    listener.value().serve(service, log);
}
