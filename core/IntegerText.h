#pragma once

#include "core/Exception.h"

#include <cstdint>
#include <string>

// The error raised when a text breaks the integer text rules.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Turns text into a 32-bit signed integer, the one way the program reads numbers:
//  - leading spaces (0x20 only) are skipped;
//  - "-" or "+" may follow, then decimal digits only;
//  - "$", "x", "X", "0x" or "0X" introduce hexadecimal digits, taken as 32 bits two's
//    complement ($FFFFFFFF is -1);
//  - the digits must run to the end of the text;
//  - decimal values outside -2147483648..2147483647, and hexadecimal values that need
//    more than 32 bits, are invalid.
// Raises EConvertError "'<text>' is not a valid integer value" on invalid text.
int32_t StrToInt(const std::string& text);

// The same rules; returns `fallback` where StrToInt would raise.
int32_t StrToIntDef(const std::string& text, int32_t fallback);

// The same rules; returns false where StrToInt would raise.
bool TryStrToInt(const std::string& text, int32_t& value);
