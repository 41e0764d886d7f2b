#include "platform/Outcome.h"

#include <cstring>

namespace tidra::sys {

std::string Outcome::errorText(int errorNumber) {
    char buffer[256];
    // GNU strerror_r: thread-safe, may return a static text instead of filling the buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

} // namespace tidra::sys
