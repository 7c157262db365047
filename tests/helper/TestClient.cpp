// A small client of the helper for the signature tests: prints its pid on standard error, sends
// one line (argv[2]) to the socket (argv[1]), and prints whatever the helper answers before it
// closes the connection.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/UnixSocket.hpp"

// Never read: the tests change one byte of it to alter the executable without breaking it.
extern "C" {
__attribute__((used)) const char velmoraTestClientPadding[] = "velmora-test-client-padding";
}

int main(int argc, char** argv) {
    std::fprintf(stderr, "%d\n", static_cast<int>(::getpid()));
    const velmora::UniqueFd fd = velmora::openUnixSocket(velmora::SocketBlocking::blocking);
    const auto address = argc == 3 ? velmora::unixSocketAddress(argv[1]) : std::nullopt;
    if (!fd || !address ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        return 1;
    }
    const std::string line = std::string(argv[2]) + "\n";
    ::send(fd.get(), line.data(), line.size(), MSG_NOSIGNAL);  // it may already have hung up
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd.get(), buffer, sizeof buffer)) > 0;) {
        std::fwrite(buffer, 1, static_cast<std::size_t>(got), stdout);
    }
}
