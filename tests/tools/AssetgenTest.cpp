// The generator as a program: it writes every file the game loads, the same bytes on every run,
// quickly, and reports failures through its exit status.
#include "DataFiles.h"
#include "support/Sanitizers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sys/resource.h>

namespace {

std::map<std::string, std::vector<char>> Contents(const std::string& Root) {
    std::map<std::string, std::vector<char>> Files;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(Root))
        if (Entry.is_regular_file())
            Files[std::filesystem::relative(Entry.path(), Root).string()] =
                ReadBytes(Entry.path().string());
    return Files;
}

double ChildCpuSeconds() {
    rusage Usage = {};
    getrusage(RUSAGE_CHILDREN, &Usage);
    return Usage.ru_utime.tv_sec + Usage.ru_stime.tv_sec +
           (Usage.ru_utime.tv_usec + Usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST(Assetgen, TwoRunsWriteIdenticalBytesInAFewSecondsOfProcessorTime) {
    clsTempFolder First(false), Second(false);
    ASSERT_TRUE(First.Ready() && Second.Ready());
    const double Before = ChildCpuSeconds();
    ASSERT_EQ(RunAssetgen(First.Path), 0);
    const double Used = ChildCpuSeconds() - Before;
    ASSERT_EQ(RunAssetgen(Second.Path), 0);
    const double Limit = SanitizerBuild ? 20.0 : 5.0; // instrumented code runs several times slower
    EXPECT_LT(Used, Limit) << "the generator runs in every build";
    // Each run writes as many files as the build's data folder holds (the images, models,
    // sounds and fonts tests read every file the game loads from there).
    const auto A = Contents(First.Path), B = Contents(Second.Path);
    EXPECT_EQ(A.size(), Contents(DataDir()).size());
    ASSERT_EQ(A.size(), B.size());
    for (const auto& [Name, Bytes] : A) {
        const auto Other = B.find(Name);
        ASSERT_NE(Other, B.end()) << Name;
        EXPECT_TRUE(Bytes == Other->second) << Name << " differs between two runs";
    }
}

TEST(Assetgen, ReportsMisuseAndUnwritableFoldersThroughItsExitStatus) {
    const std::string NoArgument = "'" + AssetgenBinary() + "' >/dev/null 2>&1";
    const int         Status = std::system(NoArgument.c_str());
    EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 2);
    // A data folder below a plain file cannot be created.
    clsTempFolder     Folder(false);
    const std::string Blocker = Folder.Path / "file";
    std::ofstream(Blocker) << "x";
    EXPECT_NE(RunAssetgen(Blocker + "/data"), 0);
}
