#pragma once

#include <set>
#include <string>

// The one file that a fuzz target reads and writes: it lies in a folder of its own, made
// once per process under $TMPDIR (or /tmp) and removed when the process ends normally.
const std::string& ScratchFile();

// Replaces the scratch file's contents with `bytes`.
void PutScratchFile(const std::string& bytes);

// The scratch file's contents.
std::string GetScratchFile();

// The names in the scratch file's folder.
std::set<std::string> ScratchFolderNames();
