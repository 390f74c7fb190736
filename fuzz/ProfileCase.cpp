#include "fuzz/ProfileCase.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
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
    lines.reserve(64);
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
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || text[end] == '\n') {
        return "\n";
    }
    return text.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
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

} // namespace

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

TWriteCase ConsumeWriteCase(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto sectionPick = provider.ConsumeIntegral<uint16_t>();
    const auto keyPick = provider.ConsumeIntegral<uint16_t>();
    const auto valuePick = provider.ConsumeIntegral<uint16_t>();
    const auto variant = provider.ConsumeIntegral<uint8_t>();
    TWriteCase write;
    write.Piece = 1 + provider.ConsumeIntegral<uint8_t>();
    write.Before = provider.ConsumeRemainingBytesAsString();

    const std::vector<std::string> pieces = Pieces(write.Before);
    TProfileEntry& entry = write.Entry;
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
    return write;
}

std::string PlainRead(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view fallback) {
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        text.remove_prefix(ByteOrderMark.size());
    }
    bool inSection = false;
    bool sectionSeen = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view trimmed = Trim(text.substr(0, end));
        text.remove_prefix(end == text.size() ? end : end + 1);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (sectionSeen) {
                break;
            }
            const std::string_view name = trimmed.substr(1);
            inSection = SameName(Trim(name.substr(0, name.find(']'))), section);
            sectionSeen = inSection;
            continue;
        }
        std::string_view lineKey;
        if (inSection && EntryKey(trimmed, lineKey) && SameName(lineKey, key)) {
            return ReadBack(trimmed.substr(trimmed.find('=') + 1));
        }
    }
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.remove_suffix(1);
    }
    return std::string(fallback.substr(0, ProfileValueLimit));
}
