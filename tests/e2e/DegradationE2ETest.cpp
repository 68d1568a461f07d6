// The real game with broken data: the whole data folder missing, and each data file in turn
// missing, empty or garbage. Every time it starts, tells the player once per setup about each
// file it could not use, reaches the menu and ends cleanly; with every file broken at once the
// benchmark battle still runs. The game runs on SDL's offscreen driver with no sound device.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct GameRun {
    int         Status = -1; // exit status; -1 when it did not exit by itself
    std::string Errors;      // everything written to stderr
};

// Runs the game in Folder with Arguments; a hang ends after a minute as status 124.
GameRun RunGame(const fs::path& Folder, const std::string& Arguments) {
    const std::string Command = "cd '" + Folder.string() +
                                "' && env SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=no-such-device "
                                "TARVIX_NO_DIALOGS=1 timeout 60 " TARVIX_BINARY " " +
                                Arguments + " > out.txt 2> err.txt";
    GameRun    Run;
    const int  Status = std::system(Command.c_str());
    if (WIFEXITED(Status)) Run.Status = WEXITSTATUS(Status);
    std::ifstream Err(Folder / "err.txt", std::ios::binary);
    Run.Errors.assign(std::istreambuf_iterator<char>(Err), std::istreambuf_iterator<char>());
    return Run;
}

size_t Occurrences(const std::string& Text, const std::string& Part) {
    size_t Count = 0;
    for (size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + Part.size()))
        Count++;
    return Count;
}

// Every file of the generated data, relative to the data folder, in a fixed order.
std::vector<fs::path> DataFiles() {
    std::vector<fs::path> Files;
    if (!fs::exists(TARVIX_DATA_DIR)) return Files;
    for (const auto& Entry : fs::recursive_directory_iterator(TARVIX_DATA_DIR))
        if (Entry.is_regular_file()) Files.push_back(fs::relative(Entry.path(), TARVIX_DATA_DIR));
    std::sort(Files.begin(), Files.end());
    return Files;
}

enum class Damage { Missing, Empty, Garbage };

// Under the sanitizers a start of the game takes seconds, so there one file of each kind (the
// first of each extension) stands for all; the ordinary build breaks every file in turn.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool OneFileOfEachKind = true;
#else
constexpr bool OneFileOfEachKind = false;
#endif

std::vector<fs::path> FilesToBreak() {
    const std::vector<fs::path> Files = DataFiles();
    std::vector<fs::path>       Chosen;
    if (!OneFileOfEachKind) return Files;
    for (const fs::path& File : Files) {
        bool Seen = false;
        for (const fs::path& Other : Chosen)
            Seen = Seen || Other.extension() == File.extension();
        if (!Seen) Chosen.push_back(File);
    }
    return Chosen;
}

// The message a setup gives for a data file it cannot use; empty for files that fail silently.
// A sound that cannot be read is simply not heard. A model file missing, empty or garbage is no
// model and is reported like one that cannot be opened.
std::string MessageFor(const fs::path& File) {
    const std::string Extension = File.extension().string();
    if (Extension == ".jpg") return "BMP Unit: Couldn't load JPG - \"";
    if (Extension == ".mdl") return "Model: Couldn't load the model";
    return "";
}

// A data file's name as the game writes it in its messages: the font sheets are named
// "fonts\font" and "fonts\big" with ".jpg" appended, the rest with forward slashes.
std::string GameName(const fs::path& File) {
    std::string Name = File.generic_string();
    if (File.parent_path() == "fonts") Name[Name.find('/')] = '\\';
    return Name;
}

void Break(const fs::path& File, Damage How) {
    fs::remove(File);
    if (How == Damage::Missing) return;
    std::ofstream Out(File, std::ios::binary);
    if (How == Damage::Garbage) {
        std::mt19937 Random(unsigned(File.string().size()));
        for (int I = 0; I < 3000; I++)
            Out.put(char(Random()));
    }
}

class Degradation : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(TARVIX_BINARY) || DataFiles().empty())
            GTEST_SKIP() << "the game or its generated data are not built";
        char Template[] = "/tmp/tarvix-degrade-XXXXXX";
        ASSERT_NE(mkdtemp(Template), nullptr);
        Folder = Template;
    }
    void TearDown() override {
        if (!Folder.empty()) fs::remove_all(Folder);
    }
    // A fresh copy of the data as the game's working folder.
    void FreshData() {
        for (const auto& Entry : fs::directory_iterator(Folder))
            fs::remove_all(Entry.path());
        fs::copy(TARVIX_DATA_DIR, Folder, fs::copy_options::recursive);
    }
    void EachFileBroken(Damage How, const char* What) {
        for (const fs::path& File : FilesToBreak()) {
            FreshData();
            Break(Folder / File, How);
            const GameRun Run = RunGame(Folder, "--windowed --frames 5");
            const std::string Message = MessageFor(File);
            EXPECT_EQ(Run.Status, 0) << File << " " << What << "\n" << Run.Errors;
            if (!Message.empty()) {
                // Reported once per load: the texture list is loaded both by the window's
                // display-mode change and by the setup, a colour map by each material naming it.
                const std::string Named = File.extension() == ".jpg" ? "\"" + GameName(File) + "\"" : Message;
                const size_t Count = Occurrences(Run.Errors, Named);
                EXPECT_GE(Count, 1u) << File << " " << What << "\n" << Run.Errors;
                if (File.parent_path() != "textures" || File == "textures/pointer.jpg") {
                    EXPECT_LE(Count, 2u) << File << " " << What << "\n" << Run.Errors;
                }
                EXPECT_EQ(Occurrences(Run.Errors, "Couldn't"), Count)
                    << File << " " << What << ": no other file is reported\n" << Run.Errors;
            } else {
                EXPECT_EQ(Occurrences(Run.Errors, "Couldn't"), 0u) << File << " " << What << "\n" << Run.Errors;
            }
        }
    }
    fs::path Folder;
};

TEST_F(Degradation, EachFileMissingInTurn) { EachFileBroken(Damage::Missing, "missing"); }
TEST_F(Degradation, EachFileEmptyInTurn) { EachFileBroken(Damage::Empty, "empty"); }
TEST_F(Degradation, EachFileGarbageInTurn) { EachFileBroken(Damage::Garbage, "garbage"); }

// Nothing at all to load: each texture of the list is reported once per load (the window's
// display-mode change, then the setup), each font sheet and each model once, and the menu runs.
TEST_F(Degradation, NoDataFolderAtAll) {
    const GameRun Run = RunGame(Folder, "--windowed --frames 5");
    EXPECT_EQ(Run.Status, 0) << Run.Errors;
    for (const char* Texture : {"textures/pointer.jpg", "skybox/up.jpg", "textures/explosion.jpg"})
        EXPECT_EQ(Occurrences(Run.Errors, "\"" + std::string(Texture) + "\""), 2u) << Texture << "\n" << Run.Errors;
    for (const char* Font : {"fonts\\font.jpg", "fonts\\big.jpg"}) // named as the game writes them
        EXPECT_EQ(Occurrences(Run.Errors, "\"" + std::string(Font) + "\""), 1u) << Font << "\n" << Run.Errors;
    EXPECT_EQ(Occurrences(Run.Errors, MessageFor("a.jpg")), 34u) << Run.Errors;
    EXPECT_EQ(Occurrences(Run.Errors, MessageFor("a.mdl")), 9u) << Run.Errors;
}

// The benchmark battle (the start-up setup with its menu frame, a new game, then the largest
// arena fought for 150 frames) with every file missing, empty or garbage at once: two setups,
// so each broken model is reported twice.
TEST_F(Degradation, BattleRunsWithEveryFileBroken) {
    const char* Cases[] = {"missing", "empty", "garbage"};
    for (int Case = 0; Case < 3; Case++) {
        FreshData();
        for (const fs::path& File : DataFiles())
            Break(Folder / File, Damage(Case));
        const GameRun Run = RunGame(Folder, "--bench --bench-frames 150 --size 640x480");
        EXPECT_EQ(Run.Status, 0) << Cases[Case] << "\n" << Run.Errors;
        EXPECT_EQ(Occurrences(Run.Errors, MessageFor("a.mdl")), 18u)
            << Cases[Case] << "\n" << Run.Errors;
        EXPECT_NE(Run.Errors.find("BMP Unit: Couldn't load JPG"), std::string::npos) << Cases[Case];
    }
}

} // namespace
