// Every model the data generator writes loads with the game's loader, finds its textures and
// draws; the nine files a game setup loads are all there.
#include "ModelFixture.h"
#include "model/Animate.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace {

const char* const GameModels[] = {
    "models/hero.mdl",     "models/tiger.mdl",   "models/turret.mdl",
    "models/turret_f.mdl", "models/tiger_f.mdl", "models/bonus.mdl",
    "models/house.mdl",    "models/xpdisk.mdl",  "models/xpsphere.mdl"};

// A private copy of the data folder, so textures resolve from the working folder as in the game.
bool CopyDataFolder() {
    std::error_code Error;
    std::filesystem::copy(TARVIX_DATA_DIR, ".", std::filesystem::copy_options::recursive, Error);
    return !Error;
}

bool DataHasModels() {
    std::error_code Error;
    const auto      Folder = std::filesystem::path(TARVIX_DATA_DIR) / "models";
    if (!std::filesystem::is_directory(Folder, Error)) return false;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder, Error))
        if (Entry.path().extension() == ".mdl") return true;
    return false;
}

} // namespace

TEST(DataModels, EveryModelLoadsWithItsTexturesAndDraws) {
    if (!DataHasModels())
        GTEST_SKIP() << "no generated models in " << TARVIX_DATA_DIR
                     << "/models (build target data)";
    clsTestGLContext Ctx(128, 128);
    REQUIRE_GL(Ctx);
    clsTempFolder Folder;
    ASSERT_TRUE(CopyDataFolder());
    int Checked = 0;
    for (const auto& Entry : std::filesystem::directory_iterator("models")) {
        if (Entry.path().extension() != ".mdl") continue;
        const std::string Name = "models/" + Entry.path().filename().string();
        SCOPED_TRACE(Name);
        const int Before = MessagesShown;
        clsModel  Model;
        ASSERT_TRUE(Model.LoadFromFile(Name));
        EXPECT_EQ(MessagesShown, Before)
            << "no texture of the model is missing: " << LastMessageText;
        EXPECT_GT(Model.MeshCount, 0);
        for (const clsMaterial& Material : Model.Materials)
            if (!Material.ColourMap.empty()) EXPECT_NE(Material.Texture, 0u) << Material.ColourMap;
        while (glGetError() != GL_NO_ERROR) {
        }
        EXPECT_GT(DrawFitted(Model, Ctx), 0.02f);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        Checked++;
    }
    EXPECT_GT(Checked, 0);
}

TEST(DataModels, TheNineGameModelsLoadThroughTheirAnimators) {
    if (!DataHasModels())
        GTEST_SKIP() << "no generated models in " << TARVIX_DATA_DIR
                     << "/models (build target data)";
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    clsTempFolder Folder;
    ASSERT_TRUE(CopyDataFolder());
    for (const char* Name : GameModels) {
        const int  Before = MessagesShown;
        clsAnimate Animator(Name, 1.0);
        EXPECT_EQ(MessagesShown, Before) << Name << ": " << LastMessageText;
        EXPECT_GT(Animator.Model->MeshCount, 0) << Name;
        Animator.Update();
    }
}
