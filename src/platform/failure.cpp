#include "platform/failure.h"

#include <cstring>

namespace orvel {

Failure system_failure(std::string message, int err, FailureKind kind) {
    if (err != 0) {
        message += " (";
        message += std::strerror(err);
        message += ")";
    }
    return Failure{kind, std::move(message)};
}

} // namespace orvel
