// The helper client against a scripted fake helper on a socket in a temporary folder.
#include "platform/HelperClient.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperInfo.hpp"
#include "kit/HelperProtocol.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/support/ScopedEnv.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr auto kShortDeadline = 300ms;
constexpr auto kGenerousDeadline = 5s;
// Far below any deadline used here: failing "at once" means well within this.
constexpr auto kPromptly = 1s;
constexpr int kPollSliceMs = 20;

using testing::ScopedEnv;
using testing::TempFolder;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

int listenOn(const fs::path& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        throw std::runtime_error("cannot listen on " + path.string());
    }
    return fd;
}

// A helper that accepts one connection and follows its script.
class FakeHelper {
  public:
    enum class Script {
        reply,          // read the request line, then send `reply` verbatim
        closeSilently,  // read the request line, then hang up
        neverAnswer,    // accept and read, then hold the connection until the test ends
        neverAccept,    // listen only; the connection waits in the queue
    };

    FakeHelper(fs::path path, Script script, std::string reply = {})
        : listener_(listenOn(path)), script_(script), reply_(std::move(reply)) {
        if (script_ != Script::neverAccept) {
            thread_ = std::thread([this] { serve(); });
        }
    }
    ~FakeHelper() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    FakeHelper(const FakeHelper&) = delete;
    FakeHelper& operator=(const FakeHelper&) = delete;

    // The request line as received, newline included; read after the call returned.
    std::string received() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        return received_;
    }

  private:
    bool waitReadable(int fd) {
        while (!stop_) {
            pollfd entry{fd, POLLIN, 0};
            if (::poll(&entry, 1, kPollSliceMs) > 0) {
                return true;
            }
        }
        return false;
    }

    void serve() {
        if (!waitReadable(listener_.get())) {
            return;
        }
        Fd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        char byte = 0;
        while (waitReadable(connection.get()) && ::read(connection.get(), &byte, 1) == 1) {
            received_ += byte;
            if (byte == '\n') {
                break;
            }
        }
        switch (script_) {
            case Script::reply:
                (void)::send(connection.get(), reply_.data(), reply_.size(), MSG_NOSIGNAL);
                break;
            case Script::closeSilently:
                break;
            case Script::neverAnswer:
            case Script::neverAccept:
                while (!stop_) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(kPollSliceMs));
                }
                break;
        }
    }

    Fd listener_;
    Script script_;
    std::string reply_;
    std::string received_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class HelperClientTest : public ::testing::Test {
  protected:
    HelperClient::Endpoint endpoint(std::chrono::milliseconds timeout = kGenerousDeadline) const {
        return {socket_, timeout};
    }

    // The failure reason of a call expected to throw, with how long it took.
    template <class Call>
    std::string reasonOf(Call call, std::chrono::steady_clock::duration* took = nullptr) {
        auto start = std::chrono::steady_clock::now();
        try {
            call();
        } catch (const VelmoraError& e) {
            if (took) {
                *took = std::chrono::steady_clock::now() - start;
            }
            EXPECT_EQ(e.kind, VelmoraError::Kind::powerCommandFailed);
            return e.reason;
        }
        ADD_FAILURE() << "the call succeeded";
        return {};
    }

    TempFolder folder_{"velmora-helper"};
    fs::path socket_ = folder_.path() / "helper.sock";
};

TEST_F(HelperClientTest, OkReplySucceedsAndTheRequestIsOneLine) {
    FakeHelper helper(socket_, FakeHelper::Script::reply, "{\"ok\":true,\"message\":null}\n");
    EXPECT_NO_THROW(HelperClient::setPmset("powernap", "0", endpoint()));
    EXPECT_EQ(helper.received(),
              "{\"key\":\"powernap\",\"method\":\"setPmset\",\"value\":\"0\"}\n");
}

TEST_F(HelperClientTest, OkReplyWithAMessageStillSucceeds) {
    FakeHelper helper(socket_, FakeHelper::Script::reply, "{\"ok\":true,\"message\":\"noted\"}\n");
    EXPECT_NO_THROW(HelperClient::setDisableSleep(true, endpoint()));
    EXPECT_EQ(helper.received(), "{\"flag\":true,\"method\":\"setDisableSleep\"}\n");
}

TEST_F(HelperClientTest, RefusalCarriesTheHelpersMessage) {
    FakeHelper helper(socket_, FakeHelper::Script::reply,
                      "{\"message\":\"Not allowed\",\"ok\":false}\n");
    EXPECT_EQ(reasonOf([&] { HelperClient::setPmset("SLEEP", "1", endpoint()); }), "Not allowed");
}

TEST_F(HelperClientTest, RefusalWithoutAMessageIsHelperFailed) {
    FakeHelper helper(socket_, FakeHelper::Script::reply, "{\"ok\":false,\"message\":null}\n");
    EXPECT_EQ(reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint()); }), "helper failed");
}

TEST_F(HelperClientTest, TheFirstCompleteReplyDecides) {
    FakeHelper helper(socket_, FakeHelper::Script::reply,
                      "{\"ok\":true,\"message\":null}\n{\"ok\":false,\"message\":\"late\"}\n");
    EXPECT_NO_THROW(HelperClient::setPmset("sleep", "1", endpoint()));
}

TEST_F(HelperClientTest, AbsentHelperFailsAtOnceAndNotAsATimeout) {
    std::chrono::steady_clock::duration took{};
    std::string reason =
        reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(10s)); }, &took);
    EXPECT_THAT(reason, HasSubstr("No such file or directory"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable(endpoint(10s)));
}

TEST_F(HelperClientTest, RefusingSocketFailsAtOnceAndNotAsATimeout) {
    {
        FakeHelper gone(socket_, FakeHelper::Script::neverAccept);
    }  // the socket file stays, nobody listens on it
    std::chrono::steady_clock::duration took{};
    std::string reason =
        reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(10s)); }, &took);
    EXPECT_THAT(reason, HasSubstr("Connection refused"));
    EXPECT_LT(took, kPromptly);
}

TEST_F(HelperClientTest, SocketInAFolderOthersCanWriteIsNotTrusted) {
    FakeHelper impostor(socket_, FakeHelper::Script::reply, "{\"ok\":true,\"message\":null}\n");
    fs::permissions(folder_.path(), fs::perms::others_write | fs::perms::group_write,
                    fs::perm_options::add);
    std::chrono::steady_clock::duration took{};
    std::string reason =
        reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(10s)); }, &took);
    EXPECT_THAT(reason, HasSubstr("is not protected from other users"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable(endpoint()));
}

TEST_F(HelperClientTest, HelperThatNeverAnswersTimesOutAtTheDeadline) {
    for (auto script : {FakeHelper::Script::neverAnswer, FakeHelper::Script::neverAccept}) {
        std::error_code ignored;
        fs::remove(socket_, ignored);
        FakeHelper helper(socket_, script);
        std::chrono::steady_clock::duration took{};
        EXPECT_EQ(reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(kShortDeadline)); },
                           &took),
                  "helper timed out");
        EXPECT_GE(took, kShortDeadline);
        EXPECT_LT(took, kShortDeadline + kPromptly);
    }
}

TEST_F(HelperClientTest, HelperThatHangsUpIsAConnectionErrorNotSuccess) {
    FakeHelper helper(socket_, FakeHelper::Script::closeSilently);
    std::string reason = reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint()); });
    EXPECT_EQ(reason, "helper closed the connection without a reply");
}

TEST_F(HelperClientTest, MalformedRepliesAreErrorsNotSuccess) {
    const std::string replies[] = {
        "{\"ok\":1,\"message\":null}\n",
        "{\"ok\":true}\n",
        "not json\n",
        "{\"ok\":true,\"message\":null}",  // no newline before the hang-up
        std::string(kHelperMaxMessageBytes + 10, ' '),
    };
    for (const auto& reply : replies) {
        std::error_code ignored;
        fs::remove(socket_, ignored);
        FakeHelper helper(socket_, FakeHelper::Script::reply, reply);
        std::string reason = reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint()); });
        EXPECT_THAT(reason, Not(HasSubstr("timed out"))) << reply;
        EXPECT_FALSE(reason.empty()) << reply;
    }
}

TEST_F(HelperClientTest, IsAvailableWhenAPingIsAnswered) {
    FakeHelper helper(socket_, FakeHelper::Script::reply, "{\"version\":\"1\"}\n");
    EXPECT_TRUE(HelperClient::isAvailable(endpoint()));
    EXPECT_EQ(helper.received(), "{\"method\":\"ping\"}\n");
}

TEST_F(HelperClientTest, DefaultEndpointIsTheHelpersSocketUnderTheSystemRoot) {
    const ScopedEnv root(SystemPaths::rootVariable, folder_.path().c_str());

    HelperClient::Endpoint standard = HelperClient::defaultEndpoint();
    EXPECT_EQ(standard.socketPath, SystemPaths::helperSocket(HelperInfo::machServiceName()));
    EXPECT_EQ(standard.timeout, 10s);
    fs::create_directories(standard.socketPath.parent_path());
    // Whatever the umask, the folder must be one only its owner can write.
    fs::permissions(standard.socketPath.parent_path(), fs::perms::owner_all);
    {
        FakeHelper helper(standard.socketPath, FakeHelper::Script::reply,
                          "{\"ok\":true,\"message\":null}\n");
        EXPECT_NO_THROW(HelperClient::setPmset("womp", "1"));
    }
}

}  // namespace
}  // namespace velmora
