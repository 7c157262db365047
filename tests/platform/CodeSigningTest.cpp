// The pieces of the caller check: the one requirement shape, the signature file, and pinning the
// peer of a connection, with the start-time fallback that kernels without SO_PEERPIDFD use.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/CodeRequirement.hpp"
#include "platform/CodeSignature.hpp"
#include "platform/CodeValidator.hpp"
#include "platform/GuestCode.hpp"
#include "platform/UnixSocket.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

TEST(CodeRequirement, CompilesOnlyTheTeamShape) {
    const std::string shape = "anchor apple generic and certificate leaf[subject.OU] = ";
    for (const auto& [text, team] :
         {std::pair{shape + "\"VLMR4T2Q9X\"", "VLMR4T2Q9X"},
          {"  anchor apple\tgeneric and certificate leaf[subject.OU] =  \"A\\\"B\"  ", "A\"B"}}) {
        const auto compiled = CodeRequirement::compile(text);
        ASSERT_TRUE(compiled.ok()) << compiled.error();
        EXPECT_EQ(compiled.value().team(), team);
    }
    for (const std::string& text :
         {std::string(), std::string("anchor apple generic"),
          std::string(R"(anchor apple generic or certificate leaf[subject.OU] = "T")"), shape + "T",
          shape + "\"\"", shape + "\"T\\", shape + "\"T\" or x",
          std::string(R"(anchor apple genericand certificate leaf[subject.OU] = "T")")}) {
        EXPECT_FALSE(CodeRequirement::compile(text).ok()) << text;
    }
}

// Signatures by another key or for another team are refused by the helper's own tests.
TEST(CodeSignature, KeysAndSignaturesRoundTripAndMalformedFilesAreRefused) {
    const auto key = SigningKey::generate();
    const std::string text = CodeSignature::make("T", CodeDigest{}, key).fileText();
    const auto parsed = CodeSignature::parse(text);
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    EXPECT_TRUE(parsed.value().verifiedBy(key.publicKey()));
    const auto reloaded = SigningKey::fromFileText(key.fileText());
    ASSERT_TRUE(reloaded.ok());
    EXPECT_EQ(reloaded.value().publicKey(), key.publicKey());
    EXPECT_FALSE(SigningKey::fromFileText("abc\n").ok());
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string copy = text;
        return copy.replace(copy.find(from), from.size(), to);
    };
    for (const std::string& bad :
         {std::string(), text.substr(0, text.size() - 1), text + "extra\n",
          replaced("team: T", "team: T T"), replaced("digest: 00", "digest: 0g"),
          replaced("velmora-code-signature 1", "velmora-code-signature 2"),
          std::string(CodeSignature::maxFileBytes() + 1, 'x')}) {
        EXPECT_FALSE(CodeSignature::parse(bad).ok()) << bad;
    }
}

// Each pinning method: the start-time fallback is what kernels without SO_PEERPIDFD use.
TEST(GuestCode, LivePeerIsThisProgramAndOneThatExitedIsRefused) {
    const testing::TempFolder folder("velmora-pin");
    const auto path = folder.path() / "s";
    const auto listener = listenOnUnixSocket(path, 0600, 4, SocketBlocking::blocking);
    ASSERT_TRUE(listener.ok()) << listener.error();
    const auto connectedFrom = [&](int fd) {
        return connectUnixSocket(fd, path, SocketClock::now() + std::chrono::seconds(5)).ok();
    };
    const auto accepted = [&] {
        return UniqueFd(::accept(listener.value().get(), nullptr, nullptr));
    };
    for (const PinMethod method : {PinMethod::processFdWhereAvailable, PinMethod::startTime}) {
        SCOPED_TRACE(static_cast<int>(method));
        const UniqueFd client = openUnixSocket(SocketBlocking::blocking);
        ASSERT_TRUE(connectedFrom(client.get()));
        const auto code = GuestCode::fromConnection(accepted().get(), method);
        ASSERT_TRUE(code.ok()) << code.error();
        EXPECT_EQ(code.value().pid, ::getpid());
        EXPECT_EQ(code.value().executablePath, std::filesystem::read_symlink("/proc/self/exe"));
        EXPECT_TRUE(code.value().executable);
        // The child connects on a socket this process keeps, then exits and is reaped.
        const UniqueFd gone = openUnixSocket(SocketBlocking::blocking);
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(connectedFrom(gone.get()) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const UniqueFd orphan = accepted();
        EXPECT_EQ(peerProcessId(orphan.get()), child);
        EXPECT_FALSE(GuestCode::fromConnection(orphan.get(), method).ok());
    }
}

// Another program linking the running file elsewhere (an install, a package manager, a backup)
// while the helper reads it changes its change time but not its bytes: its client is served, and
// a file whose bytes changed after its check is still refused.
TEST(CodeValidator, AFileLinkedElsewhereWhileItIsReadIsCheckedAgainAndServed) {
    const testing::TempFolder folder("velmora-validator");
    const auto program = folder.path() / "program";
    // Large enough (and sparse, so cheap) that reading it takes a while after its first read.
    constexpr off_t kProgramBytes = off_t{128} << 20;
    {
        const UniqueFd made(::open(program.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0755));
        ASSERT_TRUE(made);
        ASSERT_EQ(::ftruncate(made.get(), kProgramBytes), 0);
    }
    const auto key = SigningKey::generate();
    const auto open = [&] {
        GuestCode code;
        code.executable = UniqueFd(::open(program.c_str(), O_RDONLY | O_CLOEXEC));
        code.executablePath = program.string();
        return code;
    };
    const auto digest = digestOfFile(open().executable.get());
    ASSERT_TRUE(digest.ok()) << digest.error();
    std::ofstream(program.string() + CodeSignature::fileSuffix())
        << CodeSignature::make("TEAM", digest.value(), key).fileText();
    const auto requirement = CodeRequirement::compile(
        R"(anchor apple generic and certificate leaf[subject.OU] = "TEAM")");
    ASSERT_TRUE(requirement.ok());

    // At the first read of the program, a link to it is made and removed again.
    const UniqueFd watch(::inotify_init1(IN_CLOEXEC));
    ASSERT_TRUE(watch);
    ASSERT_GE(::inotify_add_watch(watch.get(), program.c_str(), IN_ACCESS), 0);
    bool linked = false;
    std::thread linker([&] {
        alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
        if (::read(watch.get(), event, sizeof event) > 0) {
            std::filesystem::create_hard_link(program, folder.path() / "installed");
            std::filesystem::remove(folder.path() / "installed");
            linked = true;
        }
    });
    CodeValidator validator(key.publicKey());
    const auto checked = validator.check(open(), requirement.value());
    linker.join();
    ASSERT_TRUE(linked);
    ASSERT_TRUE(checked.ok()) << checked.error();
    EXPECT_EQ(checked.value(), "TEAM");

    // One byte changed in place: the remembered check no longer stands for the file.
    {
        const UniqueFd changed(::open(program.c_str(), O_WRONLY | O_CLOEXEC));
        ASSERT_EQ(::pwrite(changed.get(), "x", 1, kProgramBytes / 2), 1);
    }
    const auto refused = validator.check(open(), requirement.value());
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "the executable does not match its signature");
}

}  // namespace
}  // namespace velmora
