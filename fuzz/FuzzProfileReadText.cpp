// Any bytes as a settings file, read in memory: the reading rules neither crash nor hang
// on them (`make fuzz` bounds the time per input), deliver what the same rules applied the
// plainest way deliver, and the same whatever pieces the bytes arrive in.

#include "fuzz/ProfileCase.h"
#include "fuzz/Require.h"
#include "settings/ProfileText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The names that the input picks from its own lines, and those that the program uses.
struct TQuery {
    std::string Section;
    std::string Key;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const TWriteCase input = ConsumeWriteCase(data, size);
    const std::string& file = input.Before;
    const TQuery queries[] = {{input.Entry.Section, input.Entry.Key}, {"Setting", "bChinese"}};
    for (const TQuery& query : queries) {
        const std::initializer_list<TShown> shown = {
            {"file", file}, {"section", query.Section}, {"key", query.Key}};
        const std::string value = ReadProfileText(file, query.Section, query.Key, "DEF");
        Require(value == PlainRead(file, query.Section, query.Key, "DEF"),
                "the value follows the reading rules", shown);
        TTextSource pieces(file, input.Piece);
        Require(FindProfileValue(pieces, query.Section, query.Key).value_or("DEF") == value,
                "the same value from the bytes in pieces", shown);
    }
    return 0;
}
