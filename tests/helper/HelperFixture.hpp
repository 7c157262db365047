// A velmora-helper started as root in a temporary system root, beside a fake pmset that records
// each run, and the raw socket exchanges the tests make with it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Decoded.hpp"
#include "kit/HelperProtocol.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora::test {

namespace fs = std::filesystem;

class HelperProcess {
  public:
    // Lays out <tmp>/bin/velmora-helper, <tmp>/libexec/velmora/pmset and <tmp>/system.
    HelperProcess();
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Starts the helper and waits for its start line; false when it exited instead.
    bool start();

    pid_t pid() const { return pid_; }
    const fs::path& folder() const { return folder_.path(); }
    fs::path systemRoot() const { return folder() / "system"; }
    fs::path socketPath() const {
        return systemRoot() / "var/run/velmora/com.velmora.app.helper.sock";
    }
    fs::path logPath() const { return systemRoot() / "Library/Logs/Velmora-helper.log"; }
    fs::path fakePmset() const { return folder() / "libexec" / "velmora" / "pmset"; }

    std::vector<std::string> logLines() const;
    // Waits until the log holds `count` lines after the start line; their texts after the stamp
    // (each line is checked for one) as they are then.
    std::vector<std::string> messages(std::size_t count) const;
    // One line per run of the fake pmset: the argument count and each argument in brackets.
    std::vector<std::string> pmsetRuns() const;

    // Open descriptors, child processes and threads of the helper.
    std::vector<int> footprint() const;

  private:
    testing::TempFolder folder_;
    pid_t pid_ = 0;
};

// Polls until the condition holds or a generous timeout passes; the condition's last answer.
bool eventually(const std::function<bool()>& condition);

enum class AfterSending { keepOpen, shutDownWriting };

// Sends the bytes over one connection and returns everything the helper sent before it closed.
std::string exchangeBytes(const fs::path& socket, std::string_view bytes,
                          AfterSending after = AfterSending::keepOpen);
// One request as the application's client sends it; a failure when no well-formed reply came.
Decoded<HelperReply> call(const fs::path& socket, const HelperRequest& request);

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, std::string_view text, fs::perms perms = fs::perms(0644));

}  // namespace velmora::test
