// The nine models a game setup loads, as the data generator writes them: each loads through its
// animator with the game's loader, finds its textures and draws.
#include "ModelFixture.h"
#include "model/Animate.h"
#include "platform/Platform.h"
#include "support/BattleFixture.h"

#include <gtest/gtest.h>

TEST(DataModels, TheNineGameModelsLoadWithTheirTexturesAndDraw) {
    REQUIRE_GAME_MODELS();
    clsTestGLContext Ctx(128, 128);
    REQUIRE_GL(Ctx);
    clsTempFolder Folder; // textures resolve from the working folder, as in the game
    Folder.LinkGameData(TARVIX_DATA_DIR);
    for (const char* Name : {"models/hero.mdl", "models/tiger.mdl", "models/turret.mdl",
                             "models/turret_f.mdl", "models/tiger_f.mdl", "models/bonus.mdl",
                             "models/house.mdl", "models/xpdisk.mdl", "models/xpsphere.mdl"}) {
        SCOPED_TRACE(Name);
        const int  Before = MessagesShown;
        clsAnimate Animator(Name, 1.0);
        EXPECT_EQ(MessagesShown, Before) << "nothing is missing: " << LastMessageText;
        const clsModel& Model = *Animator.Model;
        EXPECT_GT(Model.MeshCount, 0);
        for (const clsMaterial& Material : Model.Materials) {
            if (!Material.ColourMap.empty()) {
                EXPECT_NE(Material.Texture, 0u) << Material.ColourMap;
            }
        }
        while (glGetError() != GL_NO_ERROR) {
        }
        EXPECT_GT(DrawFitted(Model, Ctx), 0.02f);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}
