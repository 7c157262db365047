// Turning whatever an operation threw into the text the model keeps in `lastError`.
#pragma once

#include <exception>
#include <optional>
#include <string>

namespace velmora {

// A VelmoraError's textual form (case name and payload), another exception's own message.
std::string errorText(const std::exception_ptr& error);

// Runs `work`; the text of what it threw, or none when it returned.
template <class Work>
std::optional<std::string> attempt(Work&& work) {
    try {
        work();
        return std::nullopt;
    } catch (...) {
        return errorText(std::current_exception());
    }
}

}  // namespace velmora
