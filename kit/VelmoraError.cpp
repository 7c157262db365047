// Construction and textual form of the core library's errors.
#include "kit/VelmoraError.hpp"

#include "kit/TweakValue.hpp"

namespace velmora {

VelmoraError VelmoraError::unsupportedPreferenceType(std::string domain, std::string key) {
    VelmoraError e(Kind::unsupportedPreferenceType);
    e.domain = std::move(domain);
    e.key = std::move(key);
    e.seal();
    return e;
}

VelmoraError VelmoraError::restartsFailed(std::vector<std::string> services) {
    VelmoraError e(Kind::restartsFailed);
    e.services = std::move(services);
    e.seal();
    return e;
}

VelmoraError VelmoraError::unknownTweak(std::string id) {
    VelmoraError e(Kind::unknownTweak);
    e.id = std::move(id);
    e.seal();
    return e;
}

VelmoraError VelmoraError::powerCommandFailed(std::string reason) {
    VelmoraError e(Kind::powerCommandFailed);
    e.reason = std::move(reason);
    e.seal();
    return e;
}

VelmoraError VelmoraError::unexpectedHelperResponse() {
    VelmoraError e(Kind::unexpectedHelperResponse);
    e.seal();
    return e;
}

std::string VelmoraError::description() const {
    switch (kind) {
        case Kind::unsupportedPreferenceType:
            return "unsupportedPreferenceType(domain: " + quotedDescription(domain) +
                   ", key: " + quotedDescription(key) + ")";
        case Kind::restartsFailed: {
            std::string list;
            for (const auto& name : services) {
                list += (list.empty() ? "" : ", ") + quotedDescription(name);
            }
            return "restartsFailed(services: [" + list + "])";
        }
        case Kind::unknownTweak:
            return "unknownTweak(id: " + quotedDescription(id) + ")";
        case Kind::powerCommandFailed:
            return "powerCommandFailed(reason: " + quotedDescription(reason) + ")";
        case Kind::unexpectedHelperResponse:
            return "unexpectedHelperResponse";
    }
    return {};
}

bool operator==(const VelmoraError& a, const VelmoraError& b) {
    return a.kind == b.kind && a.domain == b.domain && a.key == b.key && a.services == b.services &&
           a.id == b.id && a.reason == b.reason;
}

}  // namespace velmora
