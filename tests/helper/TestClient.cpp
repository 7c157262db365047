// A small client of the helper for the signature tests: prints its pid on standard error, sends
// one line, and prints whatever the helper answers before it closes the connection.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/UnixSocket.hpp"

// Never read: the tests change one byte of it to alter the executable without breaking it.
extern "C" {
__attribute__((used)) const char velmoraTestClientPadding[] = "velmora-test-client-padding";
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: helper_test_client SOCKET LINE\n", stderr);
        return 64;
    }
    std::fprintf(stderr, "%d\n", static_cast<int>(::getpid()));
    const velmora::UniqueFd fd = velmora::openUnixSocket(velmora::SocketBlocking::blocking);
    const auto address = velmora::unixSocketAddress(argv[1]);
    if (!fd || !address ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        std::perror("connect");
        return 1;
    }
    const std::string line = std::string(argv[2]) + "\n";
    if (::send(fd.get(), line.data(), line.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(line.size())) {
        return 0;  // the helper may already have hung up on us
    }
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd.get(), buffer, sizeof buffer)) > 0) {
        std::fwrite(buffer, 1, static_cast<std::size_t>(got), stdout);
    }
    return 0;
}
