// The fuzz targets' scratch file (fuzz/ScratchFile.h) for the Windows replay: a folder of
// its own in the user's temporary folder, removed when the program ends normally.
#include "ScratchFile.h"

#include "ScratchFolder.h"

namespace {

const TScratchFolder& Folder() {
    static const TScratchFolder folder("quorvin-fuzz");
    return folder;
}

} // namespace

const std::string& ScratchFile() {
    static const std::string file = Folder() / "fuzz.ini";
    return file;
}

void PutScratchFile(const std::string& bytes) {
    WriteBytes(ScratchFile(), bytes);
}

std::string GetScratchFile() {
    return ReadBytes(ScratchFile());
}

std::set<std::string> ScratchFolderNames() {
    return Folder().Names();
}
