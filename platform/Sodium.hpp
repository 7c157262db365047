// Initialises libsodium once per process before any key, signature or digest is used.
#pragma once

#include <sodium.h>

#include <cstdlib>

namespace velmora {

inline void requireSodium() {
    // Without a randomness source nothing here can be trusted; stopping is the only safe answer.
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        std::abort();
    }
}

}  // namespace velmora
