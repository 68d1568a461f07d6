// Sound cases in a child process: OpenAL Soft reads its configuration once per process, so a
// test that needs a given backend (the null one, the wave-file writer) forks and sets
// ALSOFT_CONF in the child.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Runs Body in a child process with ALSOFT_CONF naming a file with Config; the child's own
// gtest expectations decide its exit status, and its failures print as usual.
inline void InChild(const std::string& Folder, const std::string& Config,
                    const std::function<void()>& Body) {
    const std::string ConfPath = Folder + "/alsoft.conf";
    std::ofstream(ConfPath) << Config;
    std::fflush(stdout);
    // Failures the test had before the fork are not the child's.
    const ::testing::TestResult& Result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    const int                    PartsBefore = Result.total_part_count();
    const pid_t                  Pid = fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) {
        setenv("ALSOFT_CONF", ConfPath.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        Body();
        std::fflush(stdout);
        bool Failed = false;
        for (int I = PartsBefore; I < Result.total_part_count(); ++I)
            Failed |= Result.GetTestPartResult(I).failed();
        _exit(Failed ? 1 : 0);
    }
    int How = 0;
    ASSERT_EQ(waitpid(Pid, &How, 0), Pid);
    ASSERT_TRUE(WIFEXITED(How)) << "the child died by signal " << WTERMSIG(How);
    EXPECT_EQ(WEXITSTATUS(How), 0) << "see the child's failures above";
}

