#include "settings/Profile.h"
#include "settings/ProfileText.h"
#include "tests/settings/RunAs.h"
#include "tests/settings/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <map>
#include <tuple>

namespace {

const TProfileEntry Choice{"Setting", "bChinese", "1"};
const std::string OldText = "[Setting]\nbChinese=0\n";

// Everything about a folder's entries that a write must not change.
struct TEntryState {
    uid_t Owner;
    gid_t Group;
    mode_t Mode;
    std::string Bytes; // a file's contents or a link's target
    bool operator==(const TEntryState& other) const {
        return std::tie(Owner, Group, Mode, Bytes) ==
               std::tie(other.Owner, other.Group, other.Mode, other.Bytes);
    }
};

std::map<std::string, TEntryState> StateOf(const TTempFolder& folder) {
    std::map<std::string, TEntryState> state;
    for (const std::string& name : folder.Names()) {
        struct stat status {};
        lstat((folder / name).c_str(), &status);
        std::string bytes;
        if (S_ISLNK(status.st_mode)) {
            char target[4096];
            const ssize_t length = readlink((folder / name).c_str(), target, sizeof target);
            bytes.assign(target, static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
        } else if (S_ISREG(status.st_mode)) {
            bytes = ReadBytes(folder / name);
        }
        state[name] = {status.st_uid, status.st_gid, status.st_mode, bytes};
    }
    return state;
}

void MakeFile(const std::string& path, uid_t owner, mode_t mode) {
    WriteBytes(path, OldText);
    ASSERT_EQ(chown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

void MakeLink(const std::string& target, const std::string& path, uid_t owner) {
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    ASSERT_EQ(lchown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
}

// The folder belongs to the row's user, as the folder of a program that the user runs.
struct TUsers {
    uid_t Me;
    uid_t Other;
};

// ---- Files that are not the user's to write ---------------------------------------------

struct RefusedCase {
    const char* Name;
    TRunAs Who;
    // Prepares the folder; returns the path that the program writes to.
    std::function<std::string(const TTempFolder&, TUsers)> Prepare;
};

class ProfileRefusedTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(ProfileRefusedTest, WriteFailsAndChangesNothing) {
    if (!CanRun(GetParam().Who) || geteuid() != 0) {
        GTEST_SKIP() << "files of two users are made by root";
    }
    const TTempFolder folder;
    const TUsers users{RunningId(GetParam().Who), GetParam().Who == TRunAs::Root ? NobodyId : 0};
    ASSERT_EQ(chown(folder.Path.c_str(), users.Me, static_cast<gid_t>(-1)), 0);
    const std::string path = GetParam().Prepare(folder, users);
    const auto before = StateOf(folder);

    RunAs(GetParam().Who, [&] { EXPECT_FALSE(ProfileWrite(path, Choice)); });

    EXPECT_EQ(StateOf(folder), before);
}

std::vector<RefusedCase> RefusedCases() {
    const std::vector<RefusedCase> cases = {
        {"ReadOnlyFile", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "app.ini", u.Me, 0444);
             return f / "app.ini";
         }},
        {"NoWriteBitAtAll", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "app.ini", u.Me, 0400);
             return f / "app.ini";
         }},
        {"OwnerMayNotWrite", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "app.ini", u.Me, 0464);
             return f / "app.ini";
         }},
        {"OtherUsersFile", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "app.ini", u.Other, 0666);
             return f / "app.ini";
         }},
        {"LinkToOtherUsersFile", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "passwd", u.Other, 0666);
             MakeLink("passwd", f / "app.ini", u.Me);
             return f / "app.ini";
         }},
        {"OtherUsersLinkToOwnFile", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeFile(f / "mine.ini", u.Me, 0644);
             MakeLink(f / "mine.ini", f / "app.ini", u.Other);
             return f / "app.ini";
         }},
        {"OtherUsersDanglingLink", TRunAs::Root,
         [](const TTempFolder& f, TUsers u) {
             MakeLink("new.ini", f / "app.ini", u.Other);
             return f / "app.ini";
         }},
    };
    // Each case once as root and once as a plain user, except that root may write a
    // file that has a write bit for anybody.
    std::vector<RefusedCase> rows;
    for (const RefusedCase& row : cases) {
        if (std::string(row.Name) != "OwnerMayNotWrite") {
            rows.push_back(row);
        }
        rows.push_back({row.Name, TRunAs::PlainUser, row.Prepare});
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileRefusedTest, testing::ValuesIn(RefusedCases()),
                         [](const auto& info) {
                             return std::string(info.param.Name) + RunAsName(info.param.Who);
                         });

// ---- The user's own files ---------------------------------------------------------------

struct OwnCase {
    const char* Name;
    TRunAs Who;
    mode_t Mode;
    bool ThroughLink;
};

class ProfileOwnFileTest : public testing::TestWithParam<OwnCase> {};

TEST_P(ProfileOwnFileTest, WrittenKeepingOwnerGroupAndMode) {
    if (!CanRun(GetParam().Who)) {
        GTEST_SKIP() << "needs root";
    }
    const TTempFolder folder;
    const uid_t me = RunningId(GetParam().Who);
    const std::string target = folder / "real.ini";
    WriteBytes(target, OldText);
    if (geteuid() == 0) {
        // A group other than the user's own where root can give one.
        ASSERT_EQ(chown(folder.Path.c_str(), me, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(chown(target.c_str(), me, NobodyGroup), 0);
    }
    ASSERT_EQ(chmod(target.c_str(), GetParam().Mode), 0);
    const std::string path = GetParam().ThroughLink ? folder / "app.ini" : target;
    if (GetParam().ThroughLink) {
        MakeLink("real.ini", path, me);
    }
    auto expected = StateOf(folder);
    expected["real.ini"].Bytes = "[Setting]\nbChinese=1\n";

    RunAs(GetParam().Who, [&] { EXPECT_TRUE(ProfileWrite(path, Choice)); });

    EXPECT_EQ(StateOf(folder), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileOwnFileTest,
    testing::Values(OwnCase{"PlainFileAsRoot", TRunAs::Root, 0640, false},
                    OwnCase{"PlainFileAsPlainUser", TRunAs::PlainUser, 0640, false},
                    OwnCase{"OwnLinkAsRoot", TRunAs::Root, 0600, true},
                    OwnCase{"OwnLinkAsPlainUser", TRunAs::PlainUser, 0604, true},
                    // Root writes where anybody has a write bit, as it could anyway.
                    OwnCase{"GroupWritableAsRoot", TRunAs::Root, 0464, false}),
    [](const auto& info) { return info.param.Name; });

// ---- Leftovers of a killed write --------------------------------------------------------

struct LeftoverCase {
    const char* Name;
    std::string Leftover;
    // Makes the leftover; returns whether a write removes it.
    std::function<bool(const std::string& path)> Make;
};

class ProfileLeftoverTest : public testing::TestWithParam<LeftoverCase> {};

TEST_P(ProfileLeftoverTest, OnlyOurStaleFilesAreRemoved) {
    const TTempFolder folder;
    WriteBytes(folder / "app.ini", OldText);
    const bool removed = GetParam().Make(folder / GetParam().Leftover);
    ASSERT_TRUE(ProfileWrite(folder / "app.ini", Choice));
    EXPECT_EQ(folder.Names().count(GetParam().Leftover), removed ? 0u : 1u);
    EXPECT_EQ(ReadBytes(folder / "app.ini"), "[Setting]\nbChinese=1\n");
}

bool StaleFile(const std::string& path) {
    WriteBytes(path, "half a settings file");
    return true;
}

bool UsersFile(const std::string& path) {
    WriteBytes(path, "[Setting]\nbChinese=0\n");
    return false;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProfileLeftoverTest,
    testing::Values(LeftoverCase{"OursUnheld", ".app.ini.~Ab3dE9", StaleFile},
                    LeftoverCase{"OursHeldByAWriter", ".app.ini.~Ab3dE9",
                                 [](const std::string& path) {
                                     StaleFile(path);
                                     // Held open and locked, as a write in progress does;
                                     // the descriptor is left to the end of the test run.
                                     const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
                                     flock(fd, LOCK_EX);
                                     return false;
                                 }},
                    LeftoverCase{"OtherUsers", ".app.ini.~Ab3dE9",
                                 [](const std::string& path) {
                                     StaleFile(path);
                                     // Root gives it away; a plain user's own file is
                                     // removed like the first row's.
                                     return chown(path.c_str(), NobodyId, NobodyGroup) != 0 ||
                                            geteuid() == NobodyId;
                                 }},
                    LeftoverCase{"ShorterName", ".app.ini.~Ab3dE", UsersFile},
                    LeftoverCase{"UsersBackup", ".app.ini.backup", UsersFile},
                    LeftoverCase{"OtherFilesName", ".other.ini.~Ab3dE9", UsersFile},
                    LeftoverCase{"Folder", ".app.ini.~Ab3dE9",
                                 [](const std::string& path) {
                                     mkdir(path.c_str(), 0700);
                                     return false;
                                 }},
                    LeftoverCase{"Link", ".app.ini.~Ab3dE9",
                                 [](const std::string& path) {
                                     EXPECT_EQ(symlink("app.ini", path.c_str()), 0);
                                     return false;
                                 }}),
    [](const auto& info) { return info.param.Name; });

// ---- Writes that are cut short ------------------------------------------------------------

TEST(ProfileInterruptedTest, KilledWriteLeavesOnlyTheOldOrTheNewFile) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    const std::string padding(8 << 20, ';');
    const std::string before = padding + "\n[Setting]\nbChinese=0\n";
    const std::string after = padding + "\n[Setting]\nbChinese=1\n";
    WriteBytes(path, before);
    for (const int delayUs : {0, 1000, 3000, 10000, 30000, 100000}) {
        const pid_t child = fork();
        if (child == 0) {
            _exit(ProfileWrite(path, Choice) ? 0 : 1);
        }
        usleep(static_cast<useconds_t>(delayUs));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        EXPECT_EQ(folder.Names(), std::set<std::string>{"app.ini"}) << "killed after " << delayUs;
        const std::string now = ReadBytes(path);
        EXPECT_TRUE(now == before || now == after) << "killed after " << delayUs;
    }
}

// Where an unnamed file cannot be given a name (no /proc), the new file is named from
// the start and still leaves nothing behind.
TEST(ProfileInterruptedTest, WritesWithoutProc) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "hiding /proc needs root";
    }
    const TTempFolder folder;
    WriteBytes(folder / "app.ini", OldText);
    RunAs(TRunAs::Root, [&] {
        ASSERT_EQ(unshare(CLONE_NEWNS), 0);
        ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
        ASSERT_EQ(mount("none", "/proc", "tmpfs", 0, nullptr), 0);
        EXPECT_TRUE(ProfileWrite(folder / "app.ini", Choice));
        EXPECT_TRUE(ProfileWrite(folder / "new.ini", Choice));
    });
    EXPECT_EQ(ReadBytes(folder / "app.ini"), "[Setting]\nbChinese=1\n");
    EXPECT_EQ(ReadBytes(folder / "new.ini"), "[Setting]\nbChinese=1\n");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"app.ini", "new.ini"}));
}

// ---- Files larger than the reading buffer -------------------------------------------------

// Lines of many lengths, so that line breaks (CR LF split too), section headers and keys
// fall across the reader's buffer boundaries.
TEST(ProfileLongFileTest, ReadsAndWritesAcrossBufferBoundaries) {
    const TTempFolder folder;
    const std::string path = folder / "app.ini";
    std::string text = "[Other]\r\n";
    int lines = 0; // about 300 kB
    for (; lines < 8000; ++lines) {
        const int line = lines;
        if (line % 997 == 0) {
            text += "[Part" + std::to_string(line) + "]\r\n";
        }
        text += "k" + std::to_string(line) + "=" + std::string(line % 61, 'v') + "\r\n";
    }
    text += "[Setting]\r\n" + std::string(70000, ';') + "\r\nbChinese=0\r\n;end\r\n";
    WriteBytes(path, text);

    EXPECT_EQ(ProfileRead(path, "Setting", "bChinese", "x"), "0");
    for (const int line : {0, 996, 997, 3000, 5003, 7999}) {
        EXPECT_EQ(ProfileRead(path, "Part" + std::to_string(line / 997 * 997),
                              "K" + std::to_string(line), "x"),
                  std::string(line % 61, 'v'))
            << line;
    }
    ASSERT_TRUE(ProfileWrite(path, Choice));
    const std::size_t key = text.rfind("bChinese=0");
    EXPECT_EQ(ReadBytes(path), text.substr(0, key) + "bChinese=1" + text.substr(key + 10));
    ASSERT_TRUE(ProfileWrite(path, TProfileEntry{"setting", "added", "2"}));
    EXPECT_EQ(ReadBytes(path),
              RewriteProfileText(text.substr(0, key) + "bChinese=1" + text.substr(key + 10),
                                 TProfileEntry{"setting", "added", "2"}));
    EXPECT_EQ(ProfileRead(path, "SETTING", "added", "x"), "2");
}

} // namespace
