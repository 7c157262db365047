// The pieces of the caller check: the one requirement shape, the signature file, and pinning the
// peer of a connection, with the start-time fallback that kernels without SO_PEERPIDFD use.
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/CodeRequirement.hpp"
#include "platform/CodeSignature.hpp"
#include "platform/GuestCode.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(CodeRequirement, CompilesOnlyTheTeamShape) {
    const auto plain = CodeRequirement::compile(
        R"(anchor apple generic and certificate leaf[subject.OU] = "VLMR4T2Q9X")");
    ASSERT_TRUE(plain.ok()) << plain.error();
    EXPECT_EQ(plain.value().team(), "VLMR4T2Q9X");

    const auto spaced = CodeRequirement::compile(
        "  anchor apple\tgeneric and certificate leaf[subject.OU] =  \"A\\\"B\"  ");
    ASSERT_TRUE(spaced.ok()) << spaced.error();
    EXPECT_EQ(spaced.value().team(), "A\"B");

    for (const char* text : {
             "",
             R"(anchor apple generic)",
             R"(anchor apple generic or certificate leaf[subject.OU] = "T")",
             R"(anchor apple generic and certificate leaf[subject.CN] = "T")",
             R"(anchor apple generic and certificate leaf[ subject.OU ] = "T")",
             R"(anchor apple generic and certificate leaf[subject.OU] = T)",
             R"(anchor apple generic and certificate leaf[subject.OU] = "")",
             R"(anchor apple generic and certificate leaf[subject.OU] = "T)",
             R"(anchor apple generic and certificate leaf[subject.OU] = "T\)",
             R"(anchor apple generic and certificate leaf[subject.OU] = "T" or anchor trusted)",
             R"(anchor apple genericand certificate leaf[subject.OU] = "T")",
         }) {
        EXPECT_FALSE(CodeRequirement::compile(text).ok()) << text;
    }
}

TEST(CodeSignature, VerifiesOnlyWhatTheKeySigned) {
    const auto key = SigningKey::generate();
    const auto other = SigningKey::generate();
    CodeDigest digest{};
    digest[0] = 7;
    const auto signature = CodeSignature::make("VLMR4T2Q9X", digest, key);

    const auto parsed = CodeSignature::parse(signature.fileText());
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    EXPECT_TRUE(parsed.value().verifiedBy(key.publicKey()));
    EXPECT_FALSE(parsed.value().verifiedBy(other.publicKey()));

    auto renamed = parsed.value();
    renamed.team = "OTHERTEAM1";
    EXPECT_FALSE(renamed.verifiedBy(key.publicKey()));
    auto redigested = parsed.value();
    redigested.digest[0] = 8;
    EXPECT_FALSE(redigested.verifiedBy(key.publicKey()));

    const auto reloaded = SigningKey::fromFileText(key.fileText());
    ASSERT_TRUE(reloaded.ok());
    EXPECT_EQ(reloaded.value().publicKey(), key.publicKey());
}

TEST(CodeSignature, RefusesMalformedFiles) {
    const auto text = CodeSignature::make("T", CodeDigest{}, SigningKey::generate()).fileText();
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string copy = text;
        return copy.replace(copy.find(from), from.size(), to);
    };
    for (const std::string& bad :
         {std::string(), text.substr(0, text.size() - 1), text + "extra\n",
          replaced("team: T", "team: T T"), replaced("team: T", "team: "),
          replaced("digest: 00", "digest: 0g"), replaced("digest: 00", "digest: 0"),
          replaced("velmora-code-signature 1", "velmora-code-signature 2"),
          std::string(CodeSignature::maxFileBytes() + 1, 'x')}) {
        EXPECT_FALSE(CodeSignature::parse(bad).ok()) << bad;
    }
    EXPECT_FALSE(SigningKey::fromFileText("abc\n").ok());
    EXPECT_FALSE(SigningKey::fromFileText(std::string(64, 'a')).ok());
}

class PinnedPeer : public ::testing::TestWithParam<PinMethod> {};

TEST_P(PinnedPeer, LivePeerIsThisProgramAndOneThatExitedIsRefused) {
    const testing::TempFolder folder("velmora-pin");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (folder.path() / "s").c_str(), sizeof address.sun_path - 1);
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    const UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(::bind(listener.get(), at, sizeof address), 0);
    ASSERT_EQ(::listen(listener.get(), 4), 0);
    const auto accepted = [&] {
        return UniqueFd(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    };

    const UniqueFd client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(::connect(client.get(), at, sizeof address), 0);
    const UniqueFd server = accepted();
    const auto code = GuestCode::fromConnection(server.get(), GetParam());
    ASSERT_TRUE(code.ok()) << code.error();
    EXPECT_EQ(code.value().pid, ::getpid());
    EXPECT_EQ(code.value().executablePath, fs::read_symlink("/proc/self/exe"));
    EXPECT_TRUE(code.value().executable);

    // The child connects on a socket this process keeps, then exits and is reaped.
    const UniqueFd gone(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::connect(gone.get(), at, sizeof address) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const UniqueFd orphan = accepted();
    EXPECT_EQ(peerProcessId(orphan.get()), child);
    EXPECT_FALSE(GuestCode::fromConnection(orphan.get(), GetParam()).ok());
}

INSTANTIATE_TEST_SUITE_P(BothMethods, PinnedPeer,
                         ::testing::Values(PinMethod::processFdWhereAvailable,
                                           PinMethod::startTime),
                         [](const auto& param) {
                             return param.param == PinMethod::startTime ? "StartTime" : "ProcessFd";
                         });

}  // namespace
}  // namespace velmora
