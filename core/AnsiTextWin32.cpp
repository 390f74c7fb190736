#include "core/AnsiText.h"

#include "core/WideText.h"

#include <windows.h>

#include <climits>

namespace {

const wchar_t Replacement = 0xFFFD;

// The bytes as UTF-16 when every one of them belongs to a whole character of the code
// page; false otherwise.
bool DecodeWhole(const char* bytes, int size, int codePage, std::wstring& wide) {
    const auto page = static_cast<UINT>(codePage);
    const int needed = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(needed));
    return MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes, size, wide.data(), needed) ==
           needed;
}

// Character by character: a lead byte and the byte after it, or one byte. What does not
// decode gives U+FFFD for its first byte, and decoding goes on with the next byte, so a
// bad lead byte does not swallow the character that follows it.
std::wstring DecodeEach(const std::string& bytes, int codePage) {
    std::wstring wide;
    std::wstring character;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const bool lead =
            IsDBCSLeadByteEx(static_cast<UINT>(codePage), static_cast<BYTE>(bytes[at])) != FALSE;
        const int length = lead && at + 1 < bytes.size() ? 2 : 1;
        if (DecodeWhole(bytes.data() + at, length, codePage, character)) {
            wide += character;
            at += static_cast<std::size_t>(length);
        } else {
            wide += Replacement;
            at += 1;
        }
    }
    return wide;
}

} // namespace

int CurrentAnsiCodePage() {
    return static_cast<int>(GetACP());
}

std::string AnsiToUtf8(const std::string& bytes, int codePage) {
    if (bytes.empty()) {
        return {};
    }
    std::wstring wide;
    if (bytes.size() > INT_MAX ||
        !DecodeWhole(bytes.data(), static_cast<int>(bytes.size()), codePage, wide)) {
        wide = DecodeEach(bytes, codePage);
    }
    return WideToUtf8(wide);
}
