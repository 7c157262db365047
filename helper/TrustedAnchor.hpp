// The public key the helper trusts as the signer of its clients, fixed when the helper is built.
#pragma once

#include "platform/SigningKey.hpp"

namespace velmora {

const PublicKey& trustedAnchor();

}  // namespace velmora
