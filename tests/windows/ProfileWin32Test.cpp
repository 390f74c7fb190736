#include "settings/IniFile.h"
#include "settings/Profile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

// The table of how Windows reads and writes INI files, run against the system's own
// private-profile functions. Where Wine answers otherwise than Windows, the row says what
// Wine answers: those are Wine's differences, not a second behaviour of the program.

namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* Name;
    std::optional<std::string> File; // no file at all when empty
    std::string Section;
    std::string Key;
    std::string Expected;
    std::optional<std::string> Wine = std::nullopt; // what Wine answers where it differs
    std::string Fallback = "DEF";
};

class ProfileReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, DeliversValueOrFallback) {
    const TScratchFolder folder;
    const std::string path = folder / "app.ini";
    if (GetParam().File) {
        WriteBytes(path, *GetParam().File);
    }
    const bool wineDiffers = RunningUnderWine() && GetParam().Wine;
    EXPECT_EQ(ProfileRead(path, GetParam().Section, GetParam().Key, GetParam().Fallback),
              wineDiffers ? *GetParam().Wine : GetParam().Expected);
}

const std::string TwoSectionsCrLf =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
const std::string TwoSectionsCr =
    "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r";
const std::string TwoSectionsLf =
    "[section1]\nname1=val1\nname2=\"val2\"\nname3\nname4=a\n[section2]\n";
const std::string QuotedValues = "[s]\r\nk=\"'v'\"\r\nm=  '\"  v  '\"  \r\n";
const std::string CommentsAndHashes = "[s]\r\n ;k=v\r\nk2=a ;b\r\n#k3=c\r\n";
const std::string LongValue(5000, 'v');

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, ProfileReadTest,
    testing::Values(
        ReadCase{"NameIgnoresCase", TwoSectionsCrLf, "section1", "NaMe1", "val1"},
        ReadCase{"QuotesRemoved", TwoSectionsCrLf, "SECTION1", "name2", "val2"},
        ReadCase{"LineWithoutEquals", TwoSectionsCrLf, "section1", "name3", "DEF"},
        ReadCase{"CrOnlyLines", TwoSectionsCr, "section1", "name4", "a"},
        ReadCase{"CrOnlyQuotes", TwoSectionsCr, "section1", "name2", "val2"},
        ReadCase{"CrOnlyNoKey", TwoSectionsCr, "section1", "name3", "DEF"},
        ReadCase{"LfLines", TwoSectionsLf, "section1", "name2", "val2"},
        ReadCase{"LfNoKey", TwoSectionsLf, "section1", "name3", "DEF"},
        ReadCase{"BlanksInsideQuotesKept", "[s]\r\nk=  \"   v   \"  \r\n", "s", "k", "   v   "},
        ReadCase{"InnerQuotesKept", QuotedValues, "s", "k", "'v'"},
        ReadCase{"MismatchedQuotesKept", QuotedValues, "s", "m", "'\"  v  '\""},
        ReadCase{"FirstKeyWins", "[s]\r\nk=first\r\nk=second\r\n", "s", "k", "first"},
        ReadCase{"OnlyFirstSectionSearched", "[s]\r\n[s]\r\nk=v\r\n", "s", "k", "DEF"},
        ReadCase{"CommentIsNoKey", CommentsAndHashes, "s", "k", "DEF"},
        // Wine takes a comment line for a key of that name.
        ReadCase{"CommentIsNoKeyByItsName", CommentsAndHashes, "s", ";k", "DEF", "v"},
        ReadCase{"SemicolonInValue", CommentsAndHashes, "s", "k2", "a ;b"},
        ReadCase{"HashIsNoComment", CommentsAndHashes, "s", "#k3", "c"},
        ReadCase{"BlanksAroundNames", "  [\tx\t]\r\n\tTestKey\t=\tTestValue\t\r\n", "x", "TestKey",
                 "TestValue"},
        // Wine needs the "]" and ends the name at the last one of the line.
        ReadCase{"SectionWithoutBracket", "[sec   \r\nk=v\r\n", "sec", "k", "v", "DEF"},
        ReadCase{"SectionEndsAtFirstBracket", "[sec]x]\r\nk=v\r\n", "sec", "k", "v", "DEF"},
        ReadCase{"EmptyValueIsNoDefault", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"BeforeFirstSection", "k=v\r\n[s]\r\n", "s", "k", "DEF"},
        ReadCase{"FallbackLosesTrailingSpaces", "[s]\r\n", "s", "k", "  d\t", std::nullopt,
                 "  d\t  "},
        ReadCase{"MissingFile", std::nullopt, "s", "k", "DEF"},
        ReadCase{"LongValueCut", "[s]\r\nk=" + LongValue + "\r\n", "s", "k",
                 LongValue.substr(0, 2047)},
        // Windows does not know the UTF-8 byte order mark: the first line is lost. Wine
        // skips the mark.
        ReadCase{"ByteOrderMarkHidesFirstLine", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "DEF", "v"},
        ReadCase{"SettingZero", "[Setting]\r\nbChinese=0\r\n", "Setting", "bChinese", "0"}),
    [](const auto& info) { return info.param.Name; });

// ---- Writing ----------------------------------------------------------------------------

struct WriteCase {
    const char* Name;
    std::optional<std::string> Before; // no file at all when empty
    std::vector<TProfileEntry> Writes;
    std::string After;
    std::optional<std::string> Wine = std::nullopt; // what Wine writes where it differs
};

class ProfileWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatItMust) {
    const TScratchFolder folder;
    const std::string path = folder / "app.ini";
    if (GetParam().Before) {
        WriteBytes(path, *GetParam().Before);
    }
    for (const TProfileEntry& entry : GetParam().Writes) {
        ASSERT_TRUE(ProfileWrite(path, entry));
    }
    const bool wineDiffers = RunningUnderWine() && GetParam().Wine;
    EXPECT_EQ(ReadBytes(path), wineDiffers ? *GetParam().Wine : GetParam().After);
    EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"});
}

const std::string Nuls31 = "abc\0def\0ghi\0jkl\0mno\0pqr\0stu\0vw"s;

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, ProfileWriteTest,
    testing::Values(WriteCase{"NewFile",
                              std::nullopt,
                              {{"App1", "key1", "string1"},
                               {"App1", "key2", "string2"},
                               {"App1", "key3", "string3"},
                               {"App2", "key4", "string4"}},
                              "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\n"
                              "key4=string4\r\n"},
                    WriteCase{"KeyAfterLastKeyLine",
                              ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n",
                              {{"S", "z", ""}},
                              ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\nz=\r\n"},
                    WriteCase{"ReplacedLastLineGetsBreak",
                              "[SectionName]\r\nTestKey=TestValue",
                              {{"SECTIONNAME", "TESTKEY", "V2"}},
                              "[SectionName]\r\nTestKey=V2\r\n"},
                    // Wine reads the file up to its first zero byte and writes back only that.
                    WriteCase{"NulBytesKept",
                              Nuls31,
                              {{"section1", "key1", "string1"}},
                              Nuls31 + "\r\n[section1]\r\nkey1=string1\r\n",
                              "abc\r\n[section1]\r\nkey1=string1\r\n"},
                    // Wine drops the blanks at the value's start.
                    WriteCase{"ValueWrittenAsGiven",
                              "[s]\r\n",
                              {{"s", "k", " 'q' "}},
                              "[s]\r\nk= 'q' \r\n",
                              "[s]\r\nk='q' \r\n"},
                    WriteCase{"KeyLineReplacedSpellingKept",
                              "[s]\r\n  KEY = old \r\nz=1\r\n",
                              {{"S", "key", "new"}},
                              "[s]\r\nKEY=new\r\nz=1\r\n"},
                    // Wine leaves the line alone when the value it reads there is the one written.
                    WriteCase{"SameValueLineReplaced",
                              "[s]\r\n  KEY = 0 \r\n",
                              {{"s", "key", "0"}},
                              "[s]\r\nKEY=0\r\n",
                              "[s]\r\n  KEY = 0 \r\n"},
                    WriteCase{"SettingChinese",
                              ";mine\r\n[Setting]\r\nbChinese=0\r\n[Other]\r\na=b\r\n",
                              {{"Setting", "bChinese", "1"}},
                              ";mine\r\n[Setting]\r\nbChinese=1\r\n[Other]\r\na=b\r\n"}),
    [](const auto& info) { return info.param.Name; });

TEST(ProfileWriteFailureTest, MissingFolderFailsCreatingNothing) {
    const TScratchFolder folder;
    EXPECT_FALSE(ProfileWrite(folder / "none\\app.ini", TProfileEntry{"s", "k", "v"}));
    EXPECT_TRUE(folder.Names().empty());
}

TEST(ProfileWriteFailureTest, IniFileRaisesWithPath) {
    const TScratchFolder folder;
    TIniFile ini(folder / "none\\app.ini");
    try {
        ini.WriteBool("Setting", "bChinese", true);
        FAIL() << "no error raised";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message, "Unable to write to " + (folder / "none\\app.ini"));
    }
}

// The profile functions take ANSI file names; a folder whose name the code page cannot
// write is reached through its short name.
TEST(ProfileAnsiPathTest, FolderOutsideTheCodePage) {
    const TScratchFolder folder("quorvin-Ωμέγα-路径");
    ASSERT_TRUE(ProfileWrite(folder / "app.ini", TProfileEntry{"Setting", "bChinese", "0"}));
    EXPECT_EQ(ReadBytes(folder / "app.ini"), "[Setting]\r\nbChinese=0\r\n");
    EXPECT_EQ(ProfileRead(folder / "app.ini", "Setting", "bChinese", "1"), "0");
}

} // namespace
