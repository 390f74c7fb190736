#include "core/IntegerText.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ReadDecimal(const std::string& text, size_t pos, bool negative, int32_t& value) {
    if (pos >= text.size()) {
        return false;
    }
    uint32_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9' || magnitude > 214748364u) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<uint32_t>(c - '0');
    }
    if (negative) {
        if (magnitude > 2147483648u) {
            return false;
        }
        value = static_cast<int32_t>(0u - magnitude);
    } else {
        if (magnitude > 2147483647u) {
            return false;
        }
        value = static_cast<int32_t>(magnitude);
    }
    return true;
}

bool ReadHexadecimal(const std::string& text, size_t pos, int32_t& value) {
    if (pos >= text.size()) {
        return false;
    }
    uint32_t bits = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigit(text[pos]);
        if (digit < 0 || bits > 0x0FFFFFFFu) {
            return false;
        }
        bits = bits * 16 + static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(bits);
    return true;
}

} // namespace

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos) {
        return false;
    }
    const char first = text[pos];
    if (first == '-' || first == '+') {
        return ReadDecimal(text, pos + 1, first == '-', value);
    }
    if (first == '$' || first == 'x' || first == 'X') {
        return ReadHexadecimal(text, pos + 1, value);
    }
    if (first == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        return ReadHexadecimal(text, pos + 2, value);
    }
    return ReadDecimal(text, pos, false, value);
}

int32_t StrToInt(const std::string& text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value)) {
        throw EConvertError("'" + text + "' is not a valid integer value");
    }
    return value;
}

int32_t StrToIntDef(const std::string& text, int32_t fallback) {
    int32_t value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}
