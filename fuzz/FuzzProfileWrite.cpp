// A settings file of any bytes and a write of one entry into it, through the file
// system: the write succeeds, leaves no temporary file beside the file, and the file then
// holds what the same write in memory gives (FuzzProfileRewrite checks that in depth,
// much faster).

#include "fuzz/ProfileCase.h"
#include "fuzz/Require.h"
#include "fuzz/ScratchFile.h"
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
    PutScratchFile(write.Before);
    Require(ProfileWrite(ScratchFile(), entry), "the write succeeds", shown);
    Require(ScratchFolderNames() == std::set<std::string>{"fuzz.ini"}, "no temporary file is left",
            shown);
    Require(GetScratchFile() == RewriteProfileText(write.Before, entry),
            "the file holds the change made in memory", shown);
    Require(ProfileRead(ScratchFile(), entry.Section, entry.Key, "\r") == ReadBack(entry.Value),
            "the key reads back as written", shown);
    return 0;
}
