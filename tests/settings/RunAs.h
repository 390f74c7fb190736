#pragma once

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Who a test row runs as. The suite runs as root in CI; the rows for a plain user then
// run in a child process that has become the user nobody, instead of being skipped.
enum class TRunAs { Root, PlainUser };

constexpr uid_t NobodyId = 65534;
constexpr gid_t NobodyGroup = 65534;

inline const char* RunAsName(TRunAs who) {
    return who == TRunAs::Root ? "AsRoot" : "AsPlainUser";
}

// The user id that the row's code runs under.
inline uid_t RunningId(TRunAs who) {
    return who == TRunAs::Root ? 0 : geteuid() == 0 ? NobodyId : geteuid();
}

// Whether this process can run the row: root rows need root.
inline bool CanRun(TRunAs who) {
    return who == TRunAs::PlainUser || geteuid() == 0;
}

// Runs `body` in a child process as the row's user; the child's failed expectations are
// printed there and fail the test here.
inline void RunAs(TRunAs who, const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (who == TRunAs::PlainUser && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(NobodyGroup) != 0 || setuid(NobodyId) != 0)) {
            _exit(2);
        }
        body();
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the child run as " << RunAsName(who) << " failed";
}
