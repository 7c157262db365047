// Started as root, the end-to-end run does what a user's machine does: the application runs as an
// unprivileged user and only the helper runs as root. The test installs the build into a
// root-owned temporary prefix (the helper's home), forks a root agent that starts and stops the
// installed helper on request, and re-executes its own installed copy as the user "nobody".
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::e2e {

// Called first in main. As root (and not yet moved), moves the run as above and does not return
// unless that failed: then the exit status to end with. Otherwise does nothing.
std::optional<int> runAsUserWithRootAgent(int argc, char** argv);

// The folder the run may write in (for the desktop's logs and each case's simulated Mac); made
// and removed by the run when it has no agent.
std::filesystem::path workFolder();
// Where the screenshots go: the build's artefacts/e2e, copied there by the agent when the run
// itself may not write in the build.
std::filesystem::path artefactFolder();

// The agent's side seen from the tests.
class HelperAgent {
  public:
    // None when the run did not start as root: then no helper can run.
    static HelperAgent* instance();

    // Starts the installed helper over its root-owned system root and waits until it listens.
    // That system root, or why the helper did not start.
    struct Started {
        std::optional<std::filesystem::path> systemRoot;
        std::string error;
    };
    Started start();
    // Stops it; true once it has ended.
    bool stop();

  private:
    explicit HelperAgent(int fd) : fd_(fd) {}
    std::string ask(const std::string& command);
    int fd_;
};

}  // namespace velmora::e2e
