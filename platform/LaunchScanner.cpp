// Spots applications started since the last look by comparing snapshots of the process table.
#include "platform/LaunchScanner.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/ApplicationBundles.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* executableLink = "exe";
constexpr const char* statusFile = "stat";
// Its last field is the id of the process (or thread) started last.
constexpr const char* loadFile = "loadavg";
// "0.00 0.01 0.05 1/123 4567": a few dozen characters.
constexpr std::size_t loadFileSize = 128;
// Longer than any path the kernel reports for a process's executable.
constexpr std::size_t maxExecutablePath = 4096;
constexpr const char* commandLineFile = "cmdline";
constexpr const char* workingFolderLink = "cwd";
// The interpreter, its one "#!" option and the script's path, each a path at most.
constexpr std::size_t maxCommandLineRead = 3 * maxExecutablePath;
// The script's path is the first or second argument after the interpreter's own name.
constexpr std::size_t scriptArgumentsChecked = 2;

std::optional<pid_t> pidFromName(std::string_view name) {
    pid_t pid = 0;
    const char* end = name.data() + name.size();
    const auto [rest, error] = std::from_chars(name.data(), end, pid);
    if (error != std::errc() || rest != end || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

// Closes the directory stream it holds.
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

LaunchScanner::LaunchScanner(const std::vector<fs::path>& folders, fs::path procRoot,
                             ProcessReading reading)
    : procRoot_(std::move(procRoot)), procPrefix_(procRoot_.string() + "/"), reading_(reading) {
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::path canonical = fs::weakly_canonical(folder, error);
        folders_.push_back(error ? folder.lexically_normal() : std::move(canonical));
    }
}

bool LaunchScanner::nothingNew(const std::string& lastStarted) const {
    // An old process that replaces its program starts nothing, so a reading of every process
    // lists the table at every look.
    return reading_ == ProcessReading::newProcesses && primed_ && !anyYoung_ &&
           !lastStarted.empty() && lastStarted == lastStarted_;
}

std::vector<std::string> LaunchScanner::scan() {
    // Taken before the listing, so that a process started while the table is listed is looked
    // for again next time.
    std::string lastStarted = lastStartedId();
    if (nothingNew(lastStarted)) {
        executablesRead_ = 0;
        return {};
    }
    lastStarted_ = std::move(lastStarted);
    std::map<pid_t, Process> now;
    std::vector<pid_t> read;  // the processes whose executable this look read, in order
    for (const pid_t pid : processIds()) {
        const auto before = processes_.find(pid);
        const bool known = primed_ && before != processes_.end();
        if (known && reading_ == ProcessReading::newProcesses && !before->second.young) {
            now.emplace(pid, Process{std::move(before->second.executable), false});
            continue;
        }
        read.push_back(pid);
        now.emplace(pid, Process{executableOf(pid), primed_ && !known});
    }
    executablesRead_ = read.size();
    std::vector<std::string> launched;
    for (const pid_t pid : primed_ ? read : std::vector<pid_t>{}) {
        const std::string& executable = now[pid].executable;
        if (executable.empty()) {
            continue;
        }
        const auto before = processes_.find(pid);
        if (before != processes_.end() && before->second.executable == executable) {
            continue;
        }
        const auto bundle = bundleRunBy(pid, executable);
        if (!bundle) {
            continue;
        }
        const pid_t parent = parentOf(pid);
        if (parent > 0 && bundleRunBy(parent, executableOf(parent)) == bundle) {
            continue;
        }
        if (auto id = ApplicationBundles::identifier(*bundle)) {
            launched.push_back(std::move(*id));
        }
    }
    processes_ = std::move(now);
    primed_ = true;
    anyYoung_ = std::any_of(processes_.begin(), processes_.end(),
                            [](const auto& process) { return process.second.young; });
    return launched;
}

std::string LaunchScanner::lastStartedId() const {
    const UniqueFd file(::open((procPrefix_ + loadFile).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return {};
    }
    std::array<char, loadFileSize> buffer{};
    const ssize_t length = ::read(file.get(), buffer.data(), buffer.size());
    if (length <= 0) {
        return {};
    }
    std::string_view text(buffer.data(), static_cast<std::size_t>(length));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    const std::size_t space = text.rfind(' ');
    return space == std::string_view::npos ? std::string() : std::string(text.substr(space + 1));
}

// In ascending order; empty when the table cannot be listed.
std::vector<pid_t> LaunchScanner::processIds() const {
    std::vector<pid_t> pids;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(procRoot_.c_str()));
    if (!dir) {
        return pids;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (auto pid = pidFromName(entry->d_name)) {
            pids.push_back(*pid);
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

// Empty when the process has gone or is not ours to look at.
std::string LaunchScanner::executableOf(pid_t pid) const {
    const std::string link = procPrefix_ + std::to_string(pid) + "/" + executableLink;
    std::array<char, maxExecutablePath> buffer{};
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::optional<fs::path> LaunchScanner::bundleOf(const fs::path& path) const {
    return ApplicationBundles::bundleOf(path, folders_);
}

std::optional<fs::path> LaunchScanner::bundleRunBy(pid_t pid, const std::string& executable) const {
    if (executable.empty()) {
        return std::nullopt;
    }
    if (auto bundle = bundleOf(executable)) {
        return bundle;
    }
    // A script's process runs its interpreter; the kernel hands the interpreter the script's path
    // as its first argument, or as its second after the one option a "#!" line may name.
    const std::vector<std::string> arguments = leadingArguments(pid);
    for (std::size_t i = 1; i < arguments.size() && i <= scriptArgumentsChecked; ++i) {
        fs::path script(arguments[i]);
        if (script.is_relative()) {
            std::error_code error;
            const fs::path cwd =
                fs::read_symlink(procRoot_ / std::to_string(pid) / workingFolderLink, error);
            if (error) {
                continue;
            }
            script = cwd / script;
        }
        std::error_code error;
        fs::path canonical = fs::weakly_canonical(script, error);
        if (auto bundle = bundleOf(error ? script.lexically_normal() : canonical)) {
            return bundle;
        }
    }
    return std::nullopt;
}

// Up to the script's place; empty when the process has gone.
std::vector<std::string> LaunchScanner::leadingArguments(pid_t pid) const {
    const UniqueFd file(::open((procPrefix_ + std::to_string(pid) + "/" + commandLineFile).c_str(),
                               O_RDONLY | O_CLOEXEC));
    std::vector<std::string> arguments;
    if (!file.valid()) {
        return arguments;
    }
    std::array<char, maxCommandLineRead> buffer{};
    const ssize_t length = ::read(file.get(), buffer.data(), buffer.size());
    if (length <= 0) {
        return arguments;
    }
    std::string_view rest(buffer.data(), static_cast<std::size_t>(length));
    while (!rest.empty() && arguments.size() <= scriptArgumentsChecked) {
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) {
            break;  // cut off by the read: not a whole argument
        }
        arguments.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    return arguments;
}

// 0 when unknown. The command name in the status line may hold spaces and parentheses, so the
// fields are counted from the last ")".
pid_t LaunchScanner::parentOf(pid_t pid) const {
    std::ifstream in(procRoot_ / std::to_string(pid) / statusFile);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    // ") S 1234 …": the state, then the parent's id.
    const std::size_t stateAt = line.find_first_not_of(' ', close + 1);
    if (stateAt == std::string::npos) {
        return 0;
    }
    const std::size_t parentAt = line.find_first_not_of(' ', stateAt + 1);
    if (parentAt == std::string::npos) {
        return 0;
    }
    pid_t parent = 0;
    const auto [rest, failure] =
        std::from_chars(line.data() + parentAt, line.data() + line.size(), parent);
    return failure == std::errc() ? parent : 0;
}

}  // namespace velmora
