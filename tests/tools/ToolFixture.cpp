// Temporary roots for the stand-in tools and a way to run them inside.
#include "tests/tools/ToolFixture.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora {
namespace fs = std::filesystem;

namespace {
constexpr const char* setprivPath = "/usr/bin/setpriv";
constexpr const char* nobodyId = "65534";
}  // namespace

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ToolFixture::environment(const std::vector<std::string>& extra) const {
    std::vector<std::string> entries = {
        std::string(SystemPaths::rootVariable) + "=" + systemRoot.path().string(),
        "VELMORA_HOME_ROOT=" + homeRoot.path().string(),
        "PATH=/usr/bin:/bin",
    };
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

ProcessResult ToolFixture::run(SystemTool tool, const std::vector<std::string>& arguments,
                               const std::vector<std::string>& extra) const {
    ProcessOptions options;
    options.environment = environment(extra);
    return ProcessRunner::run(SystemTools::path(tool).string(), arguments, options);
}

bool ToolFixture::canRunUnprivileged() {
    return ::geteuid() == 0 && ::access(setprivPath, X_OK) == 0;
}

ProcessResult ToolFixture::runUnprivileged(SystemTool tool,
                                           const std::vector<std::string>& arguments,
                                           const std::vector<std::string>& extra) const {
    std::vector<std::string> all = {std::string("--reuid=") + nobodyId,
                                    std::string("--regid=") + nobodyId, "--clear-groups",
                                    SystemTools::path(tool).string()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    ProcessOptions options;
    options.environment = environment(extra);
    return ProcessRunner::run(setprivPath, all, options);
}

}  // namespace velmora
