#include "core/Exception.h"

std::string ErrorBoxText(const std::string& message) {
    if (message.empty()) {
        return message;
    }
    const auto last = static_cast<unsigned char>(message.back());
    return last > '.' ? message + "." : message;
}
