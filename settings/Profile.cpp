#include "settings/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <new>
#include <string_view>

namespace {

// ---- The file's bytes -----------------------------------------------------------------

struct TFileBytes {
    std::unique_ptr<char[]> Data;
    std::size_t Size = 0;
    mode_t Mode = 0; // permission bits

    std::string_view View() const { return {Data.get(), Size}; }
};

enum class TLoadResult { Loaded, Missing, Failed };

// Reads the whole file in one go. Only a regular file is read: opening does not wait
// (a FIFO named like the file would otherwise block) and a directory, FIFO or device
// counts as a failure.
TLoadResult LoadFile(const std::string& path, TFileBytes& file) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? TLoadResult::Missing : TLoadResult::Failed;
    }
    struct stat status;
    bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (ok) {
        const auto size = static_cast<std::size_t>(status.st_size);
        file.Data.reset(new (std::nothrow) char[size]);
        file.Mode = status.st_mode & 07777;
        ok = file.Data != nullptr;
        while (ok && file.Size < size) {
            const ssize_t got = read(fd, file.Data.get() + file.Size, size - file.Size);
            if (got == 0) {
                break; // the file shrank meanwhile: what was read is the file
            }
            if (got > 0) {
                file.Size += static_cast<std::size_t>(got);
            } else {
                ok = errno == EINTR;
            }
        }
    }
    close(fd);
    return ok ? TLoadResult::Loaded : TLoadResult::Failed;
}

// ---- Lines ----------------------------------------------------------------------------

// One line: its text is [Begin, End); the next line starts at Next, which equals End
// when the line is the last one and has no line break.
struct TLine {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Next = 0;
};

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Where the line that holds `from` ends: the next CR or LF, or the text's end. A plain
// byte loop: files of very many short lines are the slow case, and for them a library
// search call per line would cost more than the bytes it skips.
std::size_t LineEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && !IsLineBreak(text[from])) {
        ++from;
    }
    return from;
}

// Walks the lines of a text that hold anything; CR LF, LF and a lone CR each end a
// line. Empty lines matter neither to reading nor to placing a new entry, so a run of
// them is passed over at once.
class TLineCursor {
public:
    TLineCursor(std::string_view text, std::size_t start) : Text(text), Pos(start) {}

    bool Next(TLine& line) {
        while (Pos < Text.size() && IsLineBreak(Text[Pos])) {
            ++Pos;
        }
        if (Pos == Text.size()) {
            return false;
        }
        const std::size_t end = LineEnd(Text, Pos);
        line.Begin = Pos;
        line.End = end;
        if (end == Text.size()) {
            line.Next = end;
        } else if (Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n') {
            line.Next = end + 2;
        } else {
            line.Next = end + 1;
        }
        Pos = line.Next;
        return true;
    }

private:
    std::string_view Text;
    std::size_t Pos;
};

// Where the lines start: a UTF-8 byte order mark is skipped (and kept when writing).
std::size_t ContentStart(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')) {
            return false;
        }
    }
    return true;
}

enum class TLineKind {
    Blank,
    Comment, // first non-blank character ';'
    Section, // "[name]"; the name ends at the first ']' or, without one, at the line's end
    Entry,   // "key=value"
    Text     // anything else: no '=' makes no key
};

struct TParsedLine {
    TLineKind Kind;
    std::string_view Name;  // the section or key, blanks around it dropped
    std::string_view Value; // an entry's value as written, blanks included
};

TParsedLine ParseLine(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    if (line.empty()) {
        return {TLineKind::Blank, {}, {}};
    }
    if (line.front() == ';') {
        return {TLineKind::Comment, {}, {}};
    }
    if (line.front() == '[') {
        const std::string_view name = line.substr(1);
        return {TLineKind::Section, TrimBlanks(name.substr(0, name.find(']'))), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {TLineKind::Text, {}, {}};
    }
    return {TLineKind::Entry, TrimBlanks(line.substr(0, equals)), line.substr(equals + 1)};
}

// Where a key stands in a file, or where it would go.
struct TPlace {
    bool SectionFound = false;
    bool KeyFound = false;
    // The key's line when found; otherwise the section's last line that is neither blank
    // nor a comment (its header line when it has no other), after which the key goes.
    TLine Line;
    std::string_view Key; // the key as the file spells it
    std::string_view Value;
};

// Only the first section of the name is searched, and in it the first line of the key.
TPlace Locate(std::string_view text, std::string_view section, std::string_view key) {
    TPlace place;
    TLineCursor lines(text, ContentStart(text));
    TLine line;
    while (lines.Next(line)) {
        const TParsedLine parsed = ParseLine(text.substr(line.Begin, line.End - line.Begin));
        if (parsed.Kind == TLineKind::Section) {
            if (place.SectionFound) {
                break;
            }
            place.SectionFound = EqualsIgnoringCase(parsed.Name, section);
            place.Line = line;
        } else if (place.SectionFound &&
                   (parsed.Kind == TLineKind::Entry || parsed.Kind == TLineKind::Text)) {
            place.Line = line;
            if (parsed.Kind == TLineKind::Entry && EqualsIgnoringCase(parsed.Name, key)) {
                place.KeyFound = true;
                place.Key = parsed.Name;
                place.Value = parsed.Value;
                break;
            }
        }
    }
    return place;
}

// A value as a reader delivers it: blanks around it dropped, then one matching pair of
// outer quotes removed (blanks inside them stay).
std::string_view Unquote(std::string_view value) {
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Deliver(std::string_view text) {
    return std::string(text.substr(0, ProfileValueLimit));
}

// ---- Writing --------------------------------------------------------------------------

// The line break that the file uses: that of its first line, LF when it has none.
std::string LineBreakOf(std::string_view text) {
    const std::size_t end = LineEnd(text, 0);
    if (end == text.size() || text[end] == '\n') {
        return "\n";
    }
    return text.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
}

// The line break of a line inserted after `previous`: the file's own, except where that
// is a lone CR and the next line starts with LF (an empty line). The two would run
// together into one CR LF and the empty line would be lost, so the new line ends like
// the line before it instead.
std::string NewLineBreak(std::string_view text, const TLine& previous,
                         const std::string& lineBreak) {
    if (lineBreak == "\r" && previous.Next < text.size() && text[previous.Next] == '\n') {
        return std::string(text.substr(previous.End, previous.Next - previous.End));
    }
    return lineBreak;
}

// The file that `path` names once symlinks are followed; it need not exist. Empty for
// an empty path or links that go round in a circle.
std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) {
            return {};
        }
        const std::string targetPath(target, static_cast<std::size_t>(length));
        path = targetPath.front() == '/' ? targetPath
                                         : path.substr(0, path.rfind('/') + 1) + targetPath;
    }
    return {};
}

// The permissions that a newly created file gets: read and write for all, less the
// process's umask (which can only be read by setting it; the program has one thread).
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Replaces the file at `path` by the concatenation of `parts`, atomically: a hidden
// temporary file beside it is written, flushed and renamed over it. On any failure the
// temporary file is removed and the old file is untouched.
template <std::size_t N>
bool ReplaceFile(const std::string& path, const std::string_view (&parts)[N], mode_t mode) {
    const std::size_t nameStart = path.rfind('/') + 1; // 0 when there is no '/'
    const std::string folder = nameStart == 0 ? "." : path.substr(0, nameStart);
    std::string temp = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = fchmod(fd, mode) == 0;
    for (const std::string_view part : parts) {
        ok = ok && WriteAll(fd, part);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself last through a crash. The file is already replaced, so a
    // failure here changes nothing that could be reported.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

} // namespace

std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& fallback) {
    TFileBytes file;
    if (LoadFile(path, file) == TLoadResult::Loaded) {
        const TPlace place = Locate(file.View(), section, key);
        if (place.KeyFound) {
            return Deliver(Unquote(place.Value));
        }
    }
    std::string_view text = fallback;
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return Deliver(text);
}

bool ProfileWrite(const std::string& path, const std::optional<TProfileEntry>& entry) {
    if (!entry) {
        return true;
    }
    const std::string target = FollowLinks(path);
    if (target.empty()) {
        return false;
    }
    TFileBytes file;
    const TLoadResult loaded = LoadFile(target, file);
    if (loaded == TLoadResult::Failed) {
        return false;
    }
    const mode_t mode = loaded == TLoadResult::Loaded ? file.Mode : NewFileMode();

    const std::string_view text = file.View();
    const std::string lineBreak = LineBreakOf(text);
    const TPlace place = Locate(text, entry->Section, entry->Key);
    std::string added;
    if (place.KeyFound) {
        // The key's line is replaced; it keeps its own line break, or gets one.
        added = std::string(place.Key) + "=" + entry->Value;
        if (place.Line.Next == place.Line.End) {
            added += lineBreak;
        }
        const std::string_view parts[] = {text.substr(0, place.Line.Begin), added,
                                          text.substr(place.Line.End)};
        return ReplaceFile(target, parts, mode);
    }
    if (place.SectionFound) {
        if (place.Line.Next == place.Line.End) {
            added = lineBreak;
        }
        added += entry->Key + "=" + entry->Value + NewLineBreak(text, place.Line, lineBreak);
        const std::string_view parts[] = {text.substr(0, place.Line.Next), added,
                                          text.substr(place.Line.Next)};
        return ReplaceFile(target, parts, mode);
    }
    const std::string_view content = text.substr(ContentStart(text));
    if (!content.empty() && content.back() != '\n' && content.back() != '\r') {
        added = lineBreak;
    }
    added += "[" + entry->Section + "]" + lineBreak + entry->Key + "=" + entry->Value + lineBreak;
    const std::string_view parts[] = {text, added};
    return ReplaceFile(target, parts, mode);
}
