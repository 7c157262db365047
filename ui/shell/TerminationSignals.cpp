// The self-pipe between the termination signals' handler and the event loop.
#include "ui/shell/TerminationSignals.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>

namespace velmora {

namespace {

// SIGHUP comes with a closed terminal or a logout: the instance must not leave its lock behind.
constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// Started under nohup, the user asked for a closed terminal not to end the application.
bool keepsIgnoring(int number) {
    struct sigaction current {};
    return number == SIGHUP && ::sigaction(number, nullptr, &current) == 0 &&
           current.sa_handler == SIG_IGN;
}

// The pipe's write end as the handler sees it; -1 when no object is installed.
std::atomic<int> handlerPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

void onTerminationSignal(int number) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a wake-up for the event loop: nothing is lost by dropping this.
    (void)::write(handlerPipe.load(), &byte, 1);
    errno = savedErrno;
}

}  // namespace

bool TerminationSignals::install(std::function<void()> onSignal) {
    int ends[2];
    if (installed_ || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    onSignal_ = std::move(onSignal);
    readable_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    connect(readable_.get(), &QSocketNotifier::activated, this, &TerminationSignals::drain);
    handlerPipe.store(writeEnd_.get());

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Children are run to completion with blocking waits; those waits resume after the handler.
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        if (!keepsIgnoring(number)) {
            ::sigaction(number, &action, nullptr);
        }
    }
    installed_ = true;
    return true;
}

TerminationSignals::~TerminationSignals() {
    if (!installed_) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals) {
        if (!keepsIgnoring(number)) {
            ::sigaction(number, &action, nullptr);
        }
    }
    handlerPipe.store(-1);
}

void TerminationSignals::drain() {
    unsigned char bytes[16];
    while (::read(readEnd_.get(), bytes, sizeof bytes) > 0) {
    }
    if (onSignal_) {
        onSignal_();
    }
}

}  // namespace velmora
