// Any text through the integer text rules: nothing crashes, StrToInt, StrToIntDef and
// TryStrToInt agree on every text, and a text is accepted exactly when a plain reading
// of the rules with 64-bit arithmetic accepts it, with the same value.

#include "core/IntegerText.h"
#include "fuzz/Require.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

int DigitValue(char c, bool hexadecimal) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hexadecimal && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hexadecimal && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The rules read the plain way: the whole number is taken in 64 bits (held at 2^40 once
// it passes that, which is out of range either way) and its range is checked at the end.
std::optional<int32_t> Reference(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    const auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    bool negative = false;
    bool hexadecimal = false;
    if (at(pos) == '-' || at(pos) == '+') {
        negative = at(pos) == '-';
        pos += 1;
    } else if (at(pos) == '$' || at(pos) == 'x' || at(pos) == 'X') {
        hexadecimal = true;
        pos += 1;
    } else if (at(pos) == '0' && (at(pos + 1) == 'x' || at(pos + 1) == 'X')) {
        hexadecimal = true;
        pos += 2;
    }
    if (pos == text.size()) {
        return std::nullopt; // no digits
    }
    constexpr int64_t Held = int64_t{1} << 40;
    int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], hexadecimal);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = std::min(magnitude * (hexadecimal ? 16 : 10) + digit, Held);
    }
    if (hexadecimal) {
        if (magnitude > 0xFFFFFFFF) {
            return std::nullopt;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::initializer_list<TShown> shown = {{"text", text}};

    int32_t value = 0;
    const bool accepted = TryStrToInt(text, value);
    const std::optional<int32_t> expected = Reference(text);
    Require(accepted == expected.has_value(), "accepted exactly when the reference accepts", shown);
    Require(!accepted || value == *expected, "the value that the reference computes", shown);

    // Two different defaults tell a returned default from a value that equals it.
    Require(StrToIntDef(text, 7) == (accepted ? value : 7), "StrToIntDef agrees", shown);
    Require(StrToIntDef(text, -7) == (accepted ? value : -7), "StrToIntDef agrees", shown);

    try {
        const int32_t converted = StrToInt(text);
        Require(accepted && converted == value, "StrToInt agrees", shown);
    } catch (const EConvertError& error) {
        Require(!accepted, "StrToInt raises only on invalid text", shown);
        Require(error.Message == "'" + text + "' is not a valid integer value",
                "the conversion error names the text as typed", shown);
    }
    return 0;
}
