#pragma once

#include <cstdint>
#include <string>

// The byte that belongs to a memory position: the low eight bits of the position
// number itself (0x41 for 65 and for 321, 0 for 256, 0xFF for -1). No memory is read.
uint8_t ByteOfPosition(int32_t position);

// The one-byte text of a position: exactly one byte, also when that byte is 0.
std::string OneByteText(int32_t position);

// A line of the list readout: the byte taken as a signed 8-bit value, widened to 32
// bits and written in lowercase hexadecimal without prefix or leading zeros
// (0..7f, then ffffff80..ffffffff).
std::string ListLine(int8_t signedByte);

// What the value field shows for a one-byte text: the text up to its first zero
// byte, decoded from the given ANSI code page into UTF-8.
std::string ShownOneByteText(const std::string& oneByteText, int codePage);
