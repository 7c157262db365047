// The application's client of the privileged helper: one short-lived socket connection per call.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace velmora {

class HelperClient {
  public:
    HelperClient() = delete;

    // Where the helper listens and how long one call may take, from connecting to the reply.
    struct Endpoint {
        std::filesystem::path socketPath;
        std::chrono::milliseconds timeout;
    };
    // The helper's socket under the system root (named after HelperInfo::machServiceName()) and
    // the ten-second limit; tests pass their own.
    static Endpoint defaultEndpoint();

    // Returns when the helper set the value. Throws VelmoraError::powerCommandFailed with the
    // reason "helper timed out", the connection's error description, the helper's message, or
    // "helper failed" when the helper refused without one.
    static void setPmset(const std::string& key, const std::string& value);
    static void setPmset(const std::string& key, const std::string& value,
                         const Endpoint& endpoint);

    // Like setPmset, for the helper's own disablesleep request.
    static void setDisableSleep(bool disable);
    static void setDisableSleep(bool disable, const Endpoint& endpoint);

    // Whether the helper answered a ping within `timeout`; an absent helper answers false at once.
    static bool isAvailable(std::chrono::milliseconds timeout);
    static bool isAvailable(const Endpoint& endpoint);
};

}  // namespace velmora
