#pragma once
#include <cstdio>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` as an ordinary user. Permissions do not bind root, so under root the body runs in
// a child process that gives its privileges up first; its failures fail the calling test.
inline void run_unprivileged(const std::function<void()>& body) {
    if (geteuid() != 0) {
        body();
        return;
    }
    constexpr uid_t kNobody = 65534;
    constexpr int kCannotDrop = 77;
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(kCannotDrop);
        body();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop)
        GTEST_SKIP() << "cannot give up root privileges here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed as an ordinary user";
}
