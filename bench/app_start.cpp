// The start-up benchmark's entry to the application: the program's own run, which in addition
// writes the wall-clock time of the main window's first paint, in nanoseconds, to the file named
// by VELMORA_FIRST_SHOW_FILE. The installed program has no such hook.
#include <time.h>

#include <QByteArray>
#include <cstdio>

#include "app/Launch.hpp"

namespace {

constexpr const char* kFirstShowVariable = "VELMORA_FIRST_SHOW_FILE";
constexpr long long kNanosPerSecond = 1'000'000'000LL;

void reportFirstShow(const QByteArray& path) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (std::FILE* file = std::fopen(path.constData(), "w")) {
        std::fprintf(file, "%lld\n",
                     static_cast<long long>(now.tv_sec) * kNanosPerSecond + now.tv_nsec);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const QByteArray path = qgetenv(kFirstShowVariable);
    return velmora::runApplication(argc, argv, [&path](velmora::AppDelegate& delegate) {
        if (!path.isEmpty() && delegate.window) {
            delegate.window->onFirstPaint = [path] { reportFirstShow(path); };
        }
    });
}
