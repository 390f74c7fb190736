#include "readout/ByteReadout.h"

#include "core/AnsiText.h"

#include <cstdio>

uint8_t ByteOfPosition(int32_t position) {
    return static_cast<uint8_t>(static_cast<uint32_t>(position) & 0xFFu);
}

std::string OneByteText(int32_t position) {
    return std::string(1, static_cast<char>(ByteOfPosition(position)));
}

std::string ListLine(int8_t signedByte) {
    char text[9];
    std::snprintf(text, sizeof text, "%x", static_cast<uint32_t>(static_cast<int32_t>(signedByte)));
    return text;
}

std::string ShownOneByteText(const std::string& oneByteText, int codePage) {
    return AnsiToUtf8(oneByteText.substr(0, oneByteText.find('\0')), codePage);
}
