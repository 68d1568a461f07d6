// The INI layer against hand-written text and files: names, blanks, line ends, duplicates,
// preserved lines, new keys and sections, and the atomic file replacement.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <iterator>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Ini.h"
#include "platform/Platform.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

// A fresh folder of its own for each test, removed afterwards.
class IniFiles : public ::testing::Test {
  protected:
    void   SetUp() override { ASSERT_TRUE(Temp.Ready()); }
    size_t EntriesInFolder() const {
        return size_t(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()));
    }
    clsTempFolder   Temp{false};
    const fs::path& Folder = Temp.Path;
};

TEST(IniText, NamesCompareWithoutCaseAndValuesAreTrimmed) {
    const IniDocument Doc = ParseIni("[GrApHiCs]\nDeTaIl   =   3  \n  Name\t=\tMy Tank \t\n");
    EXPECT_EQ(IniReadString(Doc, "graphics", "DETAIL", "x"), "3");
    EXPECT_EQ(IniReadString(Doc, "Graphics", "name", "x"), "My Tank");
    EXPECT_EQ(IniReadString(Doc, "Graphics", "Missing", "fallback"), "fallback");
    EXPECT_EQ(IniReadString(Doc, "Sound", "Detail", "none"), "none");
}

TEST(IniText, CrlfReadsLikeLfAndIsKeptOnWriting) {
    IniDocument Doc = ParseIni("[Sound]\r\nVolume=80\r\nEnabled=0\r\n");
    EXPECT_EQ(IniReadString(Doc, "Sound", "Volume", ""), "80");
    EXPECT_EQ(IniReadString(Doc, "Sound", "Enabled", ""), "0");
    IniWriteString(Doc, "Sound", "Volume", "55");
    EXPECT_EQ(IniText(Doc), "[Sound]\r\nVolume=55\r\nEnabled=0\r\n");

    IniDocument Lf = ParseIni("[Sound]\nVolume=80"); // no line end after the last line
    EXPECT_EQ(IniReadString(Lf, "Sound", "Volume", ""), "80");
    EXPECT_EQ(IniText(Lf), "[Sound]\nVolume=80\n");
}

TEST(IniText, FirstOfDuplicatedKeysWinsAndIsTheOneWritten) {
    IniDocument Doc = ParseIni("[A]\nK=first\nk=second\n[a]\nK=third\n");
    EXPECT_EQ(IniReadString(Doc, "A", "K", ""), "first");
    IniWriteString(Doc, "a", "k", "new");
    EXPECT_EQ(IniText(Doc), "[A]\nK=new\nk=second\n[a]\nK=third\n");
    // A key found only in a repeated section is still found there.
    EXPECT_EQ(IniReadString(ParseIni("[A]\nX=1\n[B]\n[A]\nY=2\n"), "A", "Y", ""), "2");
}

TEST(IniText, OtherLinesSurviveWritesUnchanged) {
    const std::string Original = "; written by hand\n"
                                 "Stray=before any section\n"
                                 "[Other]\n"
                                 "  ; Log=0 is only a comment\n"
                                 "no equals sign here\n"
                                 "Log = 0\n"
                                 "Foreign=kept\n"
                                 "\n"
                                 "[Unknown]\n"
                                 "Tanks=5\n";
    IniDocument       Doc = ParseIni(Original);
    EXPECT_EQ(IniReadString(Doc, "Other", "Log", ""), "0");
    EXPECT_EQ(IniReadString(Doc, "Other", "; Log", "none"), "none");
    EXPECT_EQ(IniReadString(Doc, "", "Stray", "none"),
              "none"); // keys outside a section are not read
    IniWriteString(Doc, "Other", "Log", "1");
    IniWriteString(Doc, "Other", "Radar", "1");
    EXPECT_EQ(IniText(Doc), "; written by hand\n"
                            "Stray=before any section\n"
                            "[Other]\n"
                            "  ; Log=0 is only a comment\n"
                            "no equals sign here\n"
                            "Log=1\n"
                            "Foreign=kept\n"
                            "Radar=1\n"
                            "\n"
                            "[Unknown]\n"
                            "Tanks=5\n");
}

TEST(IniText, MissingSectionIsAppendedAtTheEnd) {
    IniDocument Doc = ParseIni("[Graphics]\nDetail=2\n");
    IniWriteString(Doc, "Player", "Name", "ACE");
    IniWriteString(Doc, "Player", "ColorR", "0.5");
    EXPECT_EQ(IniText(Doc), "[Graphics]\nDetail=2\n\n[Player]\nName=ACE\nColorR=0.5\n");

    IniDocument Empty;
    IniWriteString(Empty, "LastArena", "Tanks", "10");
    EXPECT_EQ(IniText(Empty), "[LastArena]\nTanks=10\n");
}

TEST(IniText, OddSectionLinesAndValues) {
    const IniDocument Doc = ParseIni("  [ Spaced ]  \nA=1\n[Open\nB=2=3\n[]\nC=\n");
    EXPECT_EQ(IniReadString(Doc, "Spaced", "A", ""), "1");
    EXPECT_EQ(IniReadString(Doc, "Open", "B", ""), "2=3"); // only the first "=" splits
    EXPECT_EQ(IniReadString(Doc, "", "C", "default"), ""); // present but empty is not missing
}

// A value cannot break into new lines, whatever the line ends around it: a line end in it reads
// back as a blank, and no key or section comes out of it. The second text is an input the fuzzer
// turned up, mixing LF, CR LF and lone CR line ends.
TEST(IniText, ValueCannotBreakIntoNewLines) {
    IniDocument Doc;
    IniWriteString(Doc, "Player", "Name", "A\n[Graphics]\r\nDetail=9");
    const IniDocument Back = ParseIni(IniText(Doc));
    EXPECT_EQ(Back.Lines.size(), 2u);
    EXPECT_EQ(IniReadString(Back, "Graphics", "Detail", "none"), "none");

    Doc = ParseIni("LastA2Ta;ks\nTaanks50[LastArepa" + std::string(45, '\r') + "\n[cna]\r\nTa");
    IniWriteString(Doc, "Settings", "Name", "LastA2Ta;ks\nTaanks50");
    EXPECT_EQ(IniReadString(Doc, "Settings", "Name", "?"), "LastA2Ta;ks Taanks50");
    const IniDocument Saved = ParseIni(IniText(Doc));
    EXPECT_EQ(IniReadString(Saved, "Settings", "Name", "?"), "LastA2Ta;ks Taanks50");
    EXPECT_EQ(IniReadString(Saved, "cna", "Ta", "absent"), "absent");
}

TEST(IniText, AnyBytesParseWithoutHarm) {
    const std::string Junk("\0[\0]\n=\r\r\n[x\n\xff\xfe=\0\n", 15);
    IniDocument       Doc = ParseIni(Junk);
    IniWriteString(Doc, "x", "k", "v");
    EXPECT_EQ(IniReadString(ParseIni(IniText(Doc)), "X", "K", ""), "v");
}

TEST_F(IniFiles, MissingFileReadsAsEmptyWithoutAMessage) {
    const int   Before = MessagesShown;
    IniDocument Doc;
    EXPECT_FALSE(LoadIniFile((Folder / "none.ini").string(), Doc));
    EXPECT_TRUE(Doc.Lines.empty());
    EXPECT_EQ(GetPrivateProfileString("A", "B", "dflt", (Folder / "none.ini").string()), "dflt");
    fs::create_directory(Folder / "folder.ini"); // a folder by that name reads as missing too
    EXPECT_FALSE(LoadIniFile((Folder / "folder.ini").string(), Doc));
    EXPECT_EQ(GetPrivateProfileString("A", "B", "dflt", (Folder / "folder.ini").string()), "dflt");
    EXPECT_EQ(MessagesShown, Before);
}

TEST_F(IniFiles, SingleKeyWritesKeepTheRestOfTheFile) {
    const fs::path Path = Folder / "keys.ini";
    WriteText(Path, "[Graphics]\r\n;keep me\r\nDetail=2\r\n");
    ASSERT_TRUE(WritePrivateProfileString("GRAPHICS", "detail", "3", Path.string()));
    ASSERT_TRUE(WritePrivateProfileString("Sound", "Volume", "70", Path.string()));
    EXPECT_EQ(ReadText(Path), "[Graphics]\r\n;keep me\r\nDetail=3\r\n\r\n[Sound]\r\nVolume=70\r\n");
    EXPECT_EQ(GetPrivateProfileString("sound", "VOLUME", "", Path.string()), "70");
    EXPECT_EQ(EntriesInFolder(), 1u); // no temporary file left behind
}

TEST_F(IniFiles, ReplacementKeepsPermissions) {
    const fs::path Path = Folder / "mode.ini";
    WriteText(Path, "old");
    ASSERT_EQ(chmod(Path.c_str(), 0640), 0);
    ASSERT_TRUE(ReplaceFileContents(Path.string(), "new"));
    struct stat St {};
    ASSERT_EQ(stat(Path.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadText(Path), "new");

    ASSERT_TRUE(ReplaceFileContents((Folder / "fresh.ini").string(), "x"));
    ASSERT_EQ(stat((Folder / "fresh.ini").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0644u);
}

// What an ordinary user gets, checked in a child process that has given up root: a file the
// user may not write is refused although the folder would allow the rename; one the user may
// write through its group is replaced and stays readable and writable for its new owner; one the
// user may not read is not rewritten with a single key, which would lose its other lines.
TEST_F(IniFiles, AnOrdinaryUserIsJudgedByTheFilesPermissions) {
    const passwd* Nobody = getpwnam("nobody");
    const group*  NoGroup = getgrnam("nogroup");
    if (geteuid() != 0 || !Nobody || !NoGroup)
        GTEST_SKIP() << "needs root and the user nobody with the group nogroup to drop to";
    const uid_t User = Nobody->pw_uid;
    const gid_t Group = NoGroup->gr_gid;
    ASSERT_EQ(chmod(Folder.c_str(), 0777), 0);
    const fs::path Protected = Folder / "protected.ini", Shared = Folder / "shared.ini",
                   Secret = Folder / "secret.ini";
    WriteText(Protected, "[A]\nB=old\n");
    WriteText(Shared, "[A]\nB=old\n");
    WriteText(Secret, "[A]\nB=old\n");
    ASSERT_EQ(chmod(Protected.c_str(), 0644), 0);
    ASSERT_EQ(chown(Shared.c_str(), 0, Group), 0);
    ASSERT_EQ(chmod(Shared.c_str(), 0464), 0);
    ASSERT_EQ(chmod(Secret.c_str(), 0600), 0);

    enum { ProtectedWritten = 1, SharedRefused = 2, SecretWritten = 4, SecretRead = 8 };
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(Group) != 0 || setuid(User) != 0) _exit(100);
        int Faults = 0;
        if (ReplaceFileContents(Protected.string(), "[A]\nB=new\n")) Faults |= ProtectedWritten;
        if (!ReplaceFileContents(Shared.string(), "[A]\nB=new\n")) Faults |= SharedRefused;
        if (WritePrivateProfileString("A", "C", "new", Secret.string())) Faults |= SecretWritten;
        IniDocument Doc;
        if (LoadIniForUpdate(Secret.string(), Doc)) Faults |= SecretRead;
        _exit(Faults);
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    const int Faults = WEXITSTATUS(Status);
    ASSERT_NE(Faults, 100) << "could not become nobody";
    EXPECT_FALSE(Faults & ProtectedWritten) << "another user's read-only file was replaced";
    EXPECT_FALSE(Faults & SharedRefused) << "a group-writable file was refused";
    EXPECT_FALSE(Faults & SecretWritten) << "an unreadable file was rewritten";
    EXPECT_FALSE(Faults & SecretRead) << "an unreadable file counted as read";
    EXPECT_EQ(ReadText(Protected), "[A]\nB=old\n");
    EXPECT_EQ(ReadText(Secret), "[A]\nB=old\n");
    EXPECT_EQ(ReadText(Shared), "[A]\nB=new\n");
    struct stat St {};
    ASSERT_EQ(stat(Shared.c_str(), &St), 0);
    EXPECT_EQ(St.st_uid, User) << "the replacement is the writer's own file";
    EXPECT_EQ(St.st_mode & 0777, 0664u) << "and its owner can read and write it";
    EXPECT_EQ(EntriesInFolder(), 3u) << "a temporary file was left behind";
}

TEST_F(IniFiles, FailedReplacementLeavesNothingBehind) {
    // The target is a folder: the rename over it fails after the temporary file was written.
    const fs::path Target = Folder / "busy.ini";
    fs::create_directory(Target);
    EXPECT_FALSE(ReplaceFileContents(Target.string(), "text"));
    EXPECT_TRUE(fs::is_directory(Target));
    EXPECT_EQ(EntriesInFolder(), 1u);
    // The folder does not exist: not even the temporary file can be made.
    EXPECT_FALSE(ReplaceFileContents((Folder / "no" / "such.ini").string(), "text"));
    EXPECT_FALSE(WritePrivateProfileString("A", "B", "C", (Folder / "no" / "such.ini").string()));
}

} // namespace
