// The anchor comes from the build's signing key (see cmake/VelmoraSigning.cmake).
#include "helper/TrustedAnchor.hpp"

namespace velmora {

const PublicKey& trustedAnchor() {
    static const PublicKey key =
#include "TrustedAnchorKey.inc"
        ;
    return key;
}

}  // namespace velmora
