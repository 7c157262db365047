// The textual forms of the errors the model catches.
#include "ui/model/ErrorText.hpp"

#include "kit/VelmoraError.hpp"

namespace velmora {

std::string errorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const VelmoraError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace velmora
