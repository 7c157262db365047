// A velmora-helper started as root in a temporary system root, beside a fake pmset that records
// each run, and the raw socket exchanges the tests make with it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/HelperProtocol.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora::test {

namespace fs = std::filesystem;
using testing::fileBytes;
using testing::putFile;
using Lines = std::vector<std::string>;

class HelperProcess {
  public:
    // Lays out <tmp>/bin/velmora-helper, <tmp>/libexec/velmora/pmset and <tmp>/system, and starts
    // the helper unless told not to.
    explicit HelperProcess(bool startNow = true);

    // Starts the helper and waits for its start line; false when it did not come.
    bool start();

    pid_t pid() const { return child_.pid; }
    const fs::path& folder() const { return folder_.path(); }
    fs::path systemRoot() const { return folder() / "system"; }
    fs::path socketPath() const {
        return systemRoot() / "var/run/velmora/com.velmora.app.helper.sock";
    }
    fs::path logPath() const { return systemRoot() / "Library/Logs/Velmora-helper.log"; }

    // Waits until the log holds `count` lines after the start line; their texts after the stamp
    // (each line is checked for one) as they are then.
    Lines messages(std::size_t count) const;
    // One line per run of the fake pmset: the argument count and each argument in brackets.
    Lines pmsetRuns() const;
    // Open descriptors, child processes and threads of the helper.
    std::vector<int> footprint() const;

  private:
    struct Child {  // killed and reaped at the end
        ~Child();
        pid_t pid = 0;
    };
    testing::TempFolder folder_{"velmora-helper", testing::TempFolder::Reach::everyone};
    Child child_;
};

// Polls until the condition holds or a generous timeout passes; the condition's last answer.
bool eventually(const std::function<bool()>& condition);

enum class AfterSending { keepOpen, shutDownWriting };

// Sends the bytes over one connection and returns everything the helper sent before it closed.
std::string exchangeBytes(const fs::path& socket, std::string_view bytes,
                          AfterSending after = AfterSending::keepOpen);
// One request as the application's client sends it; the reply, or an exception (which fails the
// test) when no well-formed reply came.
HelperReply call(const fs::path& socket, const HelperRequest& request);

}  // namespace velmora::test
