// Any bytes as a settings file: the profile reader neither crashes nor hangs on them
// (`make fuzz` bounds the time per input) and never delivers more than a read may.

#include "fuzz/Require.h"
#include "fuzz/ScratchFile.h"
#include "settings/Profile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The names that the program and the hand-written seed files use; the fuzzer finds other
// spellings of them from the comparisons it watches.
struct TQuery {
    const char* Section;
    const char* Key;
};

const TQuery Queries[] = {
    {"Setting", "bChinese"}, {"s", "k"}, {"section1", "name2"}, {"", ""}, {"x", "TestKey"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const std::initializer_list<TShown> shown = {{"file", file}};
    PutScratchFile(file);
    for (const TQuery& query : Queries) {
        const std::string value = ProfileRead(ScratchFile(), query.Section, query.Key, "DEF");
        Require(value.size() <= ProfileValueLimit, "a read delivers at most the limit", shown);
    }
    return 0;
}
