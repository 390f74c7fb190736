// A settings file of any bytes and a write of one entry into it. After the write:
//  - the file is written and no temporary file is left beside it;
//  - the key reads back as the reading rules turn the written value;
//  - every line of the old file is still there, in order and byte for byte, except the
//    key's own line when the key was there; what is new is the key's line and, when the
//    section was missing, its header line, both ending like the file's first line does;
//    a last line that had no line break may have gained one.
//
// The input's last bytes choose the entry, the rest is the file. Section, key and value
// are taken from the file's own lines or from a few fixed names, so that existing
// sections and keys are met often, and are then made into what a well-formed entry line
// holds; only for such names does reading find what was written:
//  - no line break (CR, LF) in section, key or value;
//  - no blank (space, tab) at either end of the section or the key (reading drops them);
//  - no "]" in the section (it ends the name), no "=" in the key (it ends the key);
//  - a key does not start with "[" or ";" (the line would be a section or a comment).
// The value may be any other text: blanks, quotes and its length play their part when
// it is read back.

#include "fuzz/Require.h"
#include "fuzz/ScratchFile.h"
#include "settings/Profile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

// ---- Lines ------------------------------------------------------------------------------

// The lines of a text, each with its line break (CR LF, LF or a lone CR); the last one
// may have none.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) {
            end = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            end += 2;
        } else {
            end += 1;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

std::string_view BreakOf(std::string_view line) {
    std::size_t text = line.size();
    while (text > 0 && (line[text - 1] == '\r' || line[text - 1] == '\n')) {
        --text;
    }
    return line.substr(text);
}

std::string_view TextOf(std::string_view line) {
    return line.substr(0, line.size() - BreakOf(line).size());
}

// The line break that the file's new lines get: its first one, LF when it has none.
std::string_view FileBreak(std::string_view text) {
    const std::vector<std::string_view> lines = SplitLines(text);
    return lines.empty() || BreakOf(lines.front()).empty() ? "\n" : BreakOf(lines.front());
}

// The key of an entry line ("key=value"), or nothing for any other line.
bool EntryKey(std::string_view line, std::string_view& key) {
    line = Trim(TextOf(line));
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '[' ||
        equals == std::string_view::npos) {
        return false;
    }
    key = Trim(line.substr(0, equals));
    return true;
}

// ---- The entry ----------------------------------------------------------------------------

std::string Section(std::string name) {
    name = name.substr(0, name.find(']'));
    return std::string(Trim(name));
}

std::string Key(std::string name) {
    name = name.substr(0, name.find('='));
    std::string_view key = Trim(name);
    while (!key.empty() && (key.front() == '[' || key.front() == ';' || IsBlank(key.front()))) {
        key.remove_prefix(1);
    }
    return std::string(key);
}

std::string FlipCase(std::string text) {
    for (char& c : text) {
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
            c ^= 0x20;
        }
    }
    return text;
}

// The names and values met in the file: every line's text, the name inside a section
// header, the key and the value of an entry line.
std::vector<std::string> Pieces(std::string_view file) {
    std::vector<std::string> pieces = {"Setting", "bChinese", "s",     "k",   "1",
                                       "0",       "",         " 'q' ", "\"\""};
    for (const std::string_view line : SplitLines(file)) {
        const std::string_view text = TextOf(line);
        pieces.emplace_back(text);
        const std::string_view trimmed = Trim(text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            pieces.emplace_back(trimmed.substr(1));
        }
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos) {
            pieces.emplace_back(text.substr(0, equals));
            pieces.emplace_back(text.substr(equals + 1));
        }
    }
    return pieces;
}

// What reading delivers for a written value: blanks around it dropped, one matching pair
// of outer quotes removed, cut to the limit.
std::string ReadBack(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, ProfileValueLimit));
}

// ---- The lines that must stay ---------------------------------------------------------

void RequireOtherLinesKept(std::string_view before, std::string_view after,
                           const TProfileEntry& entry, std::initializer_list<TShown> shown) {
    if (before.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        Require(after.substr(0, ByteOrderMark.size()) == ByteOrderMark, "byte order mark kept",
                shown);
        before.remove_prefix(ByteOrderMark.size());
        after.remove_prefix(ByteOrderMark.size());
    }
    const std::vector<std::string_view> old = SplitLines(before);
    const std::vector<std::string_view> now = SplitLines(after);
    const std::string_view lineBreak = FileBreak(before);

    // The lines that are the same at the start: an old last line without a line break
    // may have gained one.
    std::size_t same = 0;
    while (same < old.size() && same < now.size() &&
           (old[same] == now[same] ||
            (same + 1 == old.size() && BreakOf(old[same]).empty() &&
             now[same] == std::string(old[same]) + std::string(lineBreak)))) {
        ++same;
    }
    // ... and at the end.
    std::size_t sameAtEnd = 0;
    while (same + sameAtEnd < old.size() && same + sameAtEnd < now.size() &&
           old[old.size() - 1 - sameAtEnd] == now[now.size() - 1 - sameAtEnd]) {
        ++sameAtEnd;
    }
    const std::vector<std::string_view> gone(old.begin() + same, old.end() - sameAtEnd);
    const std::vector<std::string_view> added(now.begin() + same, now.end() - sameAtEnd);

    // At most the key's line is gone.
    std::string_view fileKey = entry.Key;
    std::string_view keyBreak = lineBreak;
    if (!gone.empty()) {
        Require(gone.size() == 1 && EntryKey(gone[0], fileKey) && SameName(fileKey, entry.Key),
                "only the key's line is replaced", shown);
        if (!BreakOf(gone[0]).empty()) {
            keyBreak = BreakOf(gone[0]);
        }
    }
    // A line inserted before an empty line that starts with LF would run together with it
    // if it ended with a lone CR; it ends like the line before it instead.
    if (gone.empty() && lineBreak == "\r" && same > 0 && same < old.size() &&
        old[same].front() == '\n') {
        keyBreak = BreakOf(old[same - 1]);
    }
    if (gone.empty() && added.empty()) {
        return; // the key's line was already as written
    }
    // What is new is the key's line, after its section's header when that was missing.
    const std::string keyLine = std::string(fileKey) + "=" + entry.Value + std::string(keyBreak);
    const std::string sectionLine = "[" + entry.Section + "]" + std::string(lineBreak);
    const bool newSection = added.size() == 2 && gone.empty() && sameAtEnd == 0;
    Require(added.size() == (newSection ? 2u : 1u), "one key line added", shown);
    Require(!newSection || added[0] == sectionLine, "new section header", shown);
    Require(added.back() == keyLine, "the key's line", shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto sectionPick = provider.ConsumeIntegral<uint16_t>();
    const auto keyPick = provider.ConsumeIntegral<uint16_t>();
    const auto valuePick = provider.ConsumeIntegral<uint16_t>();
    const auto variant = provider.ConsumeIntegral<uint8_t>();
    const std::string before = provider.ConsumeRemainingBytesAsString();

    const std::vector<std::string> pieces = Pieces(before);
    TProfileEntry entry;
    entry.Section = Section(pieces[sectionPick % pieces.size()]);
    entry.Key = Key(pieces[keyPick % pieces.size()]);
    entry.Value = pieces[valuePick % pieces.size()];
    if (variant & 1) {
        entry.Section = FlipCase(entry.Section);
    }
    if (variant & 2) {
        entry.Key = FlipCase(entry.Key);
    }
    if (variant & 4) {
        while (entry.Value.size() <= ProfileValueLimit) {
            entry.Value += entry.Value.empty() ? "v" : entry.Value;
        }
    }

    const std::initializer_list<TShown> shown = {
        {"file", before}, {"section", entry.Section}, {"key", entry.Key}, {"value", entry.Value}};
    PutScratchFile(before);
    Require(ProfileWrite(ScratchFile(), entry), "the write succeeds", shown);
    const std::string after = GetScratchFile();
    Require(ScratchFolderNames() == std::set<std::string>{"fuzz.ini"}, "no temporary file is left",
            shown);
    Require(ProfileRead(ScratchFile(), entry.Section, entry.Key, "\r") == ReadBack(entry.Value),
            "the key reads back as written", shown);
    RequireOtherLinesKept(before, after, entry, shown);
    return 0;
}
