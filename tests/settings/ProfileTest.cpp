#include "settings/Profile.h"
#include "settings/ProfileText.h"
#include "tests/settings/RunAs.h"
#include "tests/settings/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

// ---- Reading hand-written files --------------------------------------------------------

struct ReadCase {
    const char* Name;
    std::optional<std::string> File; // no file at all when empty
    std::string Section;
    std::string Key;
    std::string Expected;
    std::string Fallback = "DEF";
};

class ProfileReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, DeliversValueOrFallback) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    if (GetParam().File) {
        WriteBytes(path, *GetParam().File);
    }
    EXPECT_EQ(ProfileRead(path, GetParam().Section, GetParam().Key, GetParam().Fallback),
              GetParam().Expected);
    if (GetParam().File) {
        EXPECT_EQ(ReadProfileText(*GetParam().File, GetParam().Section, GetParam().Key,
                                  GetParam().Fallback),
                  GetParam().Expected);
    }
}

const std::string TwoSectionsCrLf =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
const std::string TwoSectionsCr =
    "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r";
const std::string TwoSectionsLf =
    "[section1]\nname1=val1\nname2=\"val2\"\nname3\nname4=a\n[section2]\n";
const std::string QuotedValues = "[s]\r\nk=\"'v'\"\r\nm=  '\"  v  '\"  \r\n";
const std::string CommentsAndHashes = "[s]\r\n ;k=v\r\nk2=a ;b\r\n#k3=c\r\n";

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, ProfileReadTest,
    testing::Values(ReadCase{"NameIgnoresCase", TwoSectionsCrLf, "section1", "NaMe1", "val1"},
                    ReadCase{"QuotesRemoved", TwoSectionsCrLf, "SECTION1", "name2", "val2"},
                    ReadCase{"LineWithoutEquals", TwoSectionsCrLf, "section1", "name3", "DEF"},
                    ReadCase{"CrOnlyLines", TwoSectionsCr, "section1", "name4", "a"},
                    ReadCase{"CrOnlyNoKey", TwoSectionsCr, "section1", "name3", "DEF"},
                    ReadCase{"LfLines", TwoSectionsLf, "section1", "name2", "val2"},
                    ReadCase{"BlanksInsideQuotesKept", "[s]\r\nk=  \"   v   \"  \r\n", "s", "k",
                             "   v   "},
                    ReadCase{"InnerQuotesKept", QuotedValues, "s", "k", "'v'"},
                    ReadCase{"MismatchedQuotesKept", QuotedValues, "s", "m", "'\"  v  '\""},
                    ReadCase{"FirstKeyWins", "[s]\r\nk=first\r\nk=second\r\n", "s", "k", "first"},
                    ReadCase{"OnlyFirstSectionSearched", "[s]\r\n[s]\r\nk=v\r\n", "s", "k", "DEF"},
                    ReadCase{"CommentIsNoKey", CommentsAndHashes, "s", "k", "DEF"},
                    ReadCase{"CommentIsNoKeyByItsName", CommentsAndHashes, "s", ";k", "DEF"},
                    ReadCase{"SemicolonInValue", CommentsAndHashes, "s", "k2", "a ;b"},
                    ReadCase{"HashIsNoComment", CommentsAndHashes, "s", "#k3", "c"},
                    ReadCase{"BlanksAroundNames", "  [\tx\t]\r\n\tTestKey\t=\tTestValue\t\r\n", "x",
                             "TestKey", "TestValue"},
                    ReadCase{"SectionWithoutBracket", "[sec   \r\nk=v\r\n", "sec", "k", "v"},
                    ReadCase{"SectionEndsAtFirstBracket", "[sec]x]\r\nk=v\r\n", "sec", "k", "v"},
                    ReadCase{"EmptyValueIsNoDefault", "[s]\nk=\n", "s", "k", ""},
                    ReadCase{"BeforeFirstSection", "k=v\n[s]\n", "s", "k", "DEF"},
                    ReadCase{"FallbackLosesTrailingSpaces", "[s]\n", "s", "k", "  d\t", "  d\t  "}),
    [](const auto& info) { return info.param.Name; });

const std::string LongValue(5000, 'v');
const std::string Binary = [] {
    std::string bytes;
    for (int i = 0; i < 1024; ++i) {
        bytes += static_cast<char>((i * 37 + 11) % 256);
    }
    return bytes;
}();

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ProfileReadTest,
    testing::Values(ReadCase{"Missing", std::nullopt, "s", "k", "DEF"},
                    ReadCase{"Empty", "", "s", "k", "DEF"},
                    ReadCase{"Binary", Binary, "s", "k", "DEF"},
                    ReadCase{"EntryAfterBinary", Binary + "\n[s]\nk=v\n", "s", "k", "v"},
                    ReadCase{"LongValueCut", "[s]\nk=" + LongValue + "\n", "s", "k",
                             LongValue.substr(0, 2047)},
                    ReadCase{"LongQuotedValueCut", "[s]\nk=\"" + LongValue + "\"", "s", "k",
                             LongValue.substr(0, 2047)},
                    ReadCase{"LongFallbackCut", "", "s", "k", LongValue.substr(0, 2047), LongValue},
                    ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "v"},
                    ReadCase{"NulLinesIgnored", "\0\0\0\n[s]\n\0=x\nk=v\n"s, "s", "k", "v"},
                    ReadCase{"NulBeforeSection", "\0[s]\nk=v\n"s, "s", "k", "DEF"},
                    ReadCase{"NulInValueKept", "[s]\nk=a\0b\n"s, "s", "k", "a\0b"s},
                    ReadCase{"NoEqualsSign", "[s]\nk v\n", "s", "k v", "DEF"},
                    ReadCase{"NoLineBreakAtAll", "[s]", "s", "k", "DEF"}),
    [](const auto& info) { return info.param.Name; });

// ---- Writing into hand-written files ---------------------------------------------------

struct WriteCase {
    const char* Name;
    std::optional<std::string> Before; // no file at all when empty
    std::vector<TProfileEntry> Writes;
    std::string After;
};

class ProfileWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatItMust) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    if (GetParam().Before) {
        WriteBytes(path, *GetParam().Before);
    }
    std::string inMemory = GetParam().Before.value_or("");
    for (const TProfileEntry& entry : GetParam().Writes) {
        ASSERT_TRUE(ProfileWrite(path, entry));
        inMemory = RewriteProfileText(inMemory, entry);
    }
    EXPECT_EQ(ReadBytes(path), GetParam().After);
    EXPECT_EQ(inMemory, GetParam().After);
    EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"});
}

const std::string Nuls31 = "abc\0def\0ghi\0jkl\0mno\0pqr\0stu\0vw"s;

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, ProfileWriteTest,
    testing::Values(
        WriteCase{"NewFile",
                  std::nullopt,
                  {{"App1", "key1", "string1"},
                   {"App1", "key2", "string2"},
                   {"App1", "key3", "string3"},
                   {"App2", "key4", "string4"}},
                  "[App1]\nkey1=string1\nkey2=string2\nkey3=string3\n[App2]\nkey4=string4\n"},
        WriteCase{"KeyAfterLastKeyLine",
                  ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n",
                  {{"S", "z", ""}},
                  ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\nz=\r\n"},
        WriteCase{"ReplacedLastLineGetsBreak",
                  "[SectionName]\r\nTestKey=TestValue",
                  {{"SECTIONNAME", "TESTKEY", "V2"}},
                  "[SectionName]\r\nTestKey=V2\r\n"},
        WriteCase{"NulBytesKept",
                  Nuls31,
                  {{"section1", "key1", "string1"}},
                  Nuls31 + "\n[section1]\nkey1=string1\n"},
        WriteCase{"KeySpellingKeptBlanksGone",
                  "[s]\r\n  KEY = old \r\nz=1\r\n",
                  {{"S", "key", "new"}},
                  "[s]\r\nKEY=new\r\nz=1\r\n"},
        WriteCase{"KeyBeforeTrailingComments",
                  "[s]\nk=1\n\n;about t\n[t]\n",
                  {{"s", "n", "2"}},
                  "[s]\nk=1\nn=2\n\n;about t\n[t]\n"},
        WriteCase{"SectionWithoutKeys", "[s]\n\n[t]\n", {{"s", "k", "v"}}, "[s]\nk=v\n\n[t]\n"},
        WriteCase{"LineWithoutEqualsKept", "[s]\nk\n", {{"s", "k", "v"}}, "[s]\nk\nk=v\n"},
        WriteCase{"FirstOfDuplicateSections",
                  "[s]\nk=1\n[s]\nk=2\n",
                  {{"s", "k", "3"}},
                  "[s]\nk=3\n[s]\nk=2\n"},
        WriteCase{"SameKeyInOtherSectionKept",
                  "x=0\n[t]\nk=1\n[s]\n;c\n",
                  {{"s", "k", "2"}},
                  "x=0\n[t]\nk=1\n[s]\nk=2\n;c\n"},
        WriteCase{"CrOnlyFile", "[a]\rx=1", {{"a", "k", "v"}}, "[a]\rx=1\rk=v\r"},
        // A lone CR before the empty line would merge with its LF into one line break.
        WriteCase{"CrFileKeyBeforeEmptyLfLine",
                  "[a]\rx=1\n\n[b]\r",
                  {{"a", "k", "v"}},
                  "[a]\rx=1\nk=v\n\n[b]\r"},
        WriteCase{"NewSectionAfterLastLine",
                  "[a]\r\nx=1",
                  {{"b", "k", "v"}},
                  "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        WriteCase{"ValueWrittenAsGiven", "[s]\n", {{"s", "k", " 'q' "}}, "[s]\nk= 'q' \n"},
        WriteCase{"ByteOrderMarkKept",
                  "\xEF\xBB\xBF[Setting]\r\nbChinese=1\r\n",
                  {{"Setting", "bChinese", "0"}},
                  "\xEF\xBB\xBF[Setting]\r\nbChinese=0\r\n"}),
    [](const auto& info) { return info.param.Name; });

// ---- Paths that can be neither read nor written ----------------------------------------

struct UnusableCase {
    const char* Name;
    // Prepares the folder; returns the settings file's path.
    std::function<std::string(const TTempFolder&)> Prepare;
};

class ProfileUnusablePathTest : public testing::TestWithParam<UnusableCase> {};

TEST_P(ProfileUnusablePathTest, ReadsFallbackAndWriteFailsChangingNothing) {
    const TTempFolder folder;
    const std::string path = GetParam().Prepare(folder);
    const auto before = folder.Names();
    EXPECT_EQ(ProfileRead(path, "s", "k", "DEF"), "DEF");
    EXPECT_FALSE(ProfileWrite(path, TProfileEntry{"s", "k", "v"}));
    EXPECT_EQ(folder.Names(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProfileUnusablePathTest,
    testing::Values(UnusableCase{"MissingFolder", [](const auto& f) { return f / "none/app.ini"; }},
                    UnusableCase{"DirectoryInTheWay",
                                 [](const auto& f) {
                                     mkdir((f / "app.ini").c_str(), 0755);
                                     return f / "app.ini";
                                 }},
                    UnusableCase{"FileInTheWayOfFolder",
                                 [](const auto& f) {
                                     WriteBytes(f / "app", "[s]\nk=v\n");
                                     return f / "app/app.ini";
                                 }},
                    UnusableCase{"Fifo",
                                 [](const auto& f) {
                                     mkfifo((f / "app.ini").c_str(), 0644);
                                     return f / "app.ini";
                                 }},
                    UnusableCase{"SymlinkLoop",
                                 [](const auto& f) {
                                     EXPECT_EQ(symlink("b.ini", (f / "app.ini").c_str()), 0);
                                     EXPECT_EQ(symlink("app.ini", (f / "b.ini").c_str()), 0);
                                     return f / "app.ini";
                                 }},
                    UnusableCase{"EmptyPath", [](const auto&) { return std::string(); }}),
    [](const auto& info) { return info.param.Name; });

// Permissions that root passes over, so these run as a plain user.
struct DeniedCase {
    const char* Name;
    mode_t FileMode;
    mode_t FolderMode;
    std::string ExpectedRead;
};

class ProfileDeniedTest : public testing::TestWithParam<DeniedCase> {};

TEST_P(ProfileDeniedTest, WriteFailsChangingNothing) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    WriteBytes(path, "[s]\nk=v\n");
    const uid_t user = RunningId(TRunAs::PlainUser);
    ASSERT_EQ(chown(folder.Path.c_str(), user, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(chown(path.c_str(), user, static_cast<gid_t>(-1)), 0);
    chmod(path.c_str(), GetParam().FileMode);
    chmod(folder.Path.c_str(), GetParam().FolderMode);
    RunAs(TRunAs::PlainUser, [&] {
        EXPECT_EQ(ProfileRead(path, "s", "k", "DEF"), GetParam().ExpectedRead);
        EXPECT_FALSE(ProfileWrite(path, TProfileEntry{"s", "k", "w"}));
    });
    chmod(folder.Path.c_str(), 0700);
    chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadBytes(path), "[s]\nk=v\n");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"});
}

INSTANTIATE_TEST_SUITE_P(Permissions, ProfileDeniedTest,
                         testing::Values(DeniedCase{"UnreadableFile", 0200, 0700, "DEF"},
                                         DeniedCase{"ReadOnlyFolder", 0600, 0500, "v"}),
                         [](const auto& info) { return info.param.Name; });

// ---- Replacing the file ----------------------------------------------------------------

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(ProfileReplaceTest, KeepsPermissionsOfTheOldFile) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    WriteBytes(path, "[s]\nk=1\n");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(ProfileWrite(path, TProfileEntry{"s", "k", "2"}));
    EXPECT_EQ(ModeOf(path), 0640u);
}

TEST(ProfileReplaceTest, NewFileFollowsUmask) {
    const TTempFolder folder;
    const mode_t old = umask(027);
    const bool written = ProfileWrite(folder / "app.ini", TProfileEntry{"s", "k", "v"});
    umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(ModeOf(folder / "app.ini"), 0640u);
}

TEST(ProfileReplaceTest, WritesThroughSymlinks) {
    const TTempFolder folder;
    mkdir((folder / "real").c_str(), 0755);
    WriteBytes(folder / "real/target.ini", "[s]\nk=1\n");
    ASSERT_EQ(symlink("real/target.ini", (folder / "app.ini").c_str()), 0);
    ASSERT_EQ(symlink("real/new.ini", (folder / "dangling.ini").c_str()), 0);

    ASSERT_TRUE(ProfileWrite(folder / "app.ini", TProfileEntry{"s", "k", "2"}));
    ASSERT_TRUE(ProfileWrite(folder / "dangling.ini", TProfileEntry{"s", "k", "3"}));

    EXPECT_EQ(ReadBytes(folder / "real/target.ini"), "[s]\nk=2\n");
    EXPECT_EQ(ReadBytes(folder / "real/new.ini"), "[s]\nk=3\n");
    struct stat status {};
    lstat((folder / "app.ini").c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"app.ini", "dangling.ini", "real"}));
}

TEST(ProfileReplaceTest, FullDiskLeavesOldFile) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    WriteBytes(path, "[s]\nk=1\n");
    // A child process whose files may not grow past 64 bytes meets what a full disk does.
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ProfileWrite(path, TProfileEntry{"s", "k", std::string(100, 'x')}) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "write reported success";
    EXPECT_EQ(ReadBytes(path), "[s]\nk=1\n");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"});
}

// Several copies of the program saving at once: each writes its own value over and over
// while this process keeps reading. Every read must find a whole file, and in the end the
// file holds one copy's value.
TEST(ProfileReplaceTest, ConcurrentWritersNeverTearTheFile) {
    constexpr int Writers = 4;
    constexpr int WritesEach = 200;
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    const std::string padding(64 * 1024, ';');
    const auto fileWith = [&](const std::string& value) {
        return padding + "\n[Other]\nx=1\n[Setting]\nbChinese=" + value + "\n";
    };
    const auto valueOf = [](int writer) {
        return std::string(4096, static_cast<char>('a' + writer));
    };
    WriteBytes(path, fileWith("0"));

    std::set<std::string> whole{fileWith("0")};
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        whole.insert(fileWith(valueOf(writer)));
        const pid_t child = fork();
        if (child == 0) {
            bool ok = true;
            for (int i = 0; i < WritesEach; ++i) {
                ok =
                    ProfileWrite(path, TProfileEntry{"Setting", "bChinese", valueOf(writer)}) && ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }

    int torn = 0;
    int reads = 0;
    int failed = 0;
    while (!children.empty()) {
        torn += whole.count(ReadBytes(path)) == 0 ? 1 : 0;
        ++reads;
        for (auto child = children.begin(); child != children.end();) {
            int status = 0;
            if (waitpid(*child, &status, WNOHANG) == *child) {
                failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
                child = children.erase(child);
            } else {
                ++child;
            }
        }
    }
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    const std::string last = ReadBytes(path);
    EXPECT_TRUE(whole.count(last) == 1 && last != fileWith("0"));
    EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"});
}

} // namespace
