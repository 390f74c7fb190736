#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

// One part of a fuzz input, shown when a property breaks.
struct TShown {
    const char* Label;
    std::string_view Bytes;
};

// Stops the fuzz run with a message when a property does not hold; libFuzzer then saves
// the input that broke it. The parts of the input are shown as C++ string literals, so
// that they can be pasted into a regression test.
inline void Require(bool holds, const char* property, std::initializer_list<TShown> shown) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "property broken: %s\n", property);
    for (const TShown& part : shown) {
        std::fprintf(stderr, "%s: \"", part.Label);
        for (const char c : part.Bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '\r' || c == '\n' || c == '\t') {
                std::fprintf(stderr, "\\%c", c == '\r' ? 'r' : c == '\n' ? 'n' : 't');
            } else if (c == '"' || c == '\\') {
                std::fprintf(stderr, "\\%c", c);
            } else if (byte >= 0x20 && byte < 0x7F) {
                std::fputc(c, stderr);
            } else {
                std::fprintf(stderr, "\\x%02X\"\"", byte); // "" ends the escape
            }
        }
        std::fprintf(stderr, "\"\n");
    }
    std::abort();
}
