// A settings file of any bytes and a write of one entry into it, in memory. After the
// write the key reads back as the reading rules turn the written value, every other line
// is kept (ProfileCase.h), and the change is the same whatever pieces the old bytes
// arrive in.

#include "fuzz/ProfileCase.h"
#include "fuzz/Require.h"
#include "settings/ProfileText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const TWriteCase write = ConsumeWriteCase(data, size);
    const TProfileEntry& entry = write.Entry;
    const std::initializer_list<TShown> shown = {{"file", write.Before},
                                                 {"section", entry.Section},
                                                 {"key", entry.Key},
                                                 {"value", entry.Value}};
    const std::string after = RewriteProfileText(write.Before, entry);

    TTextSource pieces(write.Before, write.Piece);
    const std::optional<TProfileEdit> edit = PlanProfileEdit(pieces, entry);
    Require(edit && write.Before.substr(0, edit->KeepBefore) + edit->Insert +
                            write.Before.substr(edit->ResumeAt) ==
                        after,
            "the same change from the bytes in pieces", shown);
    Require(ReadProfileText(after, entry.Section, entry.Key, "\r") == ReadBack(entry.Value),
            "the key reads back as written", shown);
    RequireOtherLinesKept(write.Before, after, entry, shown);
    return 0;
}
