// Scene rendering: where each camera mode puts the eye, the death view circling the wreck,
// the sky behind everything (drawn after the opaque arena, into what it leaves), tree
// billboards, the model lists and the shot sprite.
#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

#include "core/GameState.h"
#include "menu/Settings.h"
#include "render/OrinGLFont.h"
#include "render/Scene.h"
#include "render/Sprites.h"
#include "render/Terrain.h"
#include "render/Textures.h"
#include "shell/Input.h"
#include "support/GLContext.h"
#include "world/World.h"

namespace {

using Vec3 = std::array<double, 3>;

double Sin(double D) {
    return std::sin(D * std::numbers::pi / 180);
}
double Cos(double D) {
    return std::cos(D * std::numbers::pi / 180);
}

// The eye position and viewing direction, in world coordinates, of the current model-view.
void EyeOfModelView(Vec3& Eye, Vec3& Forward) {
    GLfloat M[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, M);
    for (int J = 0; J < 3; J++) {
        Eye[J] = -(M[4 * J + 0] * M[12] + M[4 * J + 1] * M[13] + M[4 * J + 2] * M[14]);
        Forward[J] = -M[4 * J + 2];
    }
}

void ExpectVec(const Vec3& Got, const Vec3& Want, const char* What) {
    for (int I = 0; I < 3; I++)
        EXPECT_NEAR(Got[I], Want[I], 1e-3) << What << " component " << I;
}

void Perspective(double FieldOfView = 45) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfView, 1, 0.1, 1500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// One square facing +Z at depth Z, centred on (X, Y), reaching H either way, the whole texture
// over it, in the current colour.
void Square(float X, float Y, float H, float Z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(X - H, Y - H, Z);
    glTexCoord2f(1, 0);
    glVertex3f(X + H, Y - H, Z);
    glTexCoord2f(1, 1);
    glVertex3f(X + H, Y + H, Z);
    glTexCoord2f(0, 1);
    glVertex3f(X - H, Y + H, Z);
    glEnd();
}

// A 64 x 64 context and the player at (-450, -179, 12), heading 35, alive, in a running game.
class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL(Ctx);
        Actors[0] = Actor_Rec{};
        Actor_Rec& P = Actors[0];
        P.X = -450;
        P.Y = -179;
        P.Z = 12;
        P.Heading = 35;
        P.DeathHeading = 35;
        P.Energy = 100;
        GameState = 2;
        SpeedFactor = 1;
        SkyboxList = ArenaList = SkyUpperList = 0;
    }
    void TearDown() override {
        if (!Ctx.Ready()) return;
        if (SkyboxList) glDeleteLists(SkyboxList, 1);
        if (ArenaList) glDeleteLists(ArenaList, 1);
        SkyboxList = ArenaList = 0;
    }
    // A list of what Draw draws.
    template <typename Fn> static GLuint List(Fn Draw) {
        const GLuint Name = glGenLists(1);
        glNewList(Name, GL_COMPILE);
        Draw();
        glEndList();
        return Name;
    }
    clsTestGLContext Ctx{64, 64};
};

// --- Camera ----------------------------------------------------------------------------------

// The cockpit eye one unit above the tank along its heading; the chase views 15 back and 4 up,
// or 20 back and 5 up, looking 10 degrees down; any other mode leaves the view alone.
TEST_F(SceneTest, EachCameraModePlacesTheEye) {
    const Vec3 Chase = {-Sin(35) * Cos(10), -Sin(10), -Cos(35) * Cos(10)};
    const struct {
        int  Mode;
        Vec3 Eye, Forward;
    } Cases[] = {
        {1, {-450, -178, 12}, {-Sin(35), 0, -Cos(35)}},
        {2, {-450 + 15 * Sin(35), -175, 12 + 15 * Cos(35)}, Chase},
        {3, {-450 + 20 * Sin(35), -174, 12 + 20 * Cos(35)}, Chase},
        {0, {0, 0, 0}, {0, 0, -1}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE("camera mode " + std::to_string(C.Mode));
        CameraMode = C.Mode;
        glLoadIdentity();
        PlaceCamera();
        Vec3 Eye, Forward;
        EyeOfModelView(Eye, Forward);
        ExpectVec(Eye, C.Eye, "eye");
        ExpectVec(Forward, C.Forward, "forward");
    }
    EXPECT_FLOAT_EQ(Actors[0].DeathHeading, 35.0f) << "alive: the death view does not turn";
}

TEST_F(SceneTest, DeathViewCirclesTheWreckAtDistanceTwentyAndHeightFive) {
    Actor_Rec& P = Actors[0];
    P.Energy = 0;
    P.DeathHeading = 100;
    P.Heading = 7;
    for (int Mode : {2, 3}) {
        CameraMode = Mode;
        const float Before = P.DeathHeading;
        SpeedFactor = 2;
        glLoadIdentity();
        PlaceCamera();
        EXPECT_FLOAT_EQ(P.DeathHeading, Before + 0.4f);
        Vec3 Eye, Forward;
        EyeOfModelView(Eye, Forward);
        const double Dx = Eye[0] - P.X, Dz = Eye[2] - P.Z;
        EXPECT_NEAR(std::hypot(Dx, Dz), 20, 1e-3);
        EXPECT_NEAR(Eye[1], P.Y + 5, 1e-3);
        // It looks along the yaw it had before this frame's turn, at the wreck nearly.
        ExpectVec(Forward, {-Sin(Before) * Cos(10), -Sin(10), -Cos(Before) * Cos(10)}, "forward");
    }
    // In the menu the wreck is still shown from behind, but the view stands still.
    GameState = 1;
    const float Held = P.DeathHeading;
    glLoadIdentity();
    PlaceCamera();
    EXPECT_EQ(P.DeathHeading, Held);
    EXPECT_FLOAT_EQ(CameraYaw(), Held) << "billboards follow the death view";
}

// --- Sky and arena ---------------------------------------------------------------------------

TEST_F(SceneTest, SkyLiesBehindEverythingAndTheArenaTakesTheCurrentColour) {
    Perspective();
    glEnable(GL_DEPTH_TEST);
    const GLuint White = PlainTexture(255, 255, 255);
    // The sky: red, right in front of the eye. The arena: far away, in no colour of its own.
    SkyboxList = List([] {
        glColor3f(1, 0, 0);
        Square(0, 0, 10, -1);
    });
    ArenaList = List([] { Square(0, 0, 100, -1000); });

    CameraMode = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, White);
    PlaceCamera();
    glColor3f(0, 0, 1);
    DrawArena();
    auto Centre = Ctx.Pixel(32, 32);
    EXPECT_EQ(Centre[0], 0) << "the far arena covers the near sky";
    EXPECT_EQ(Centre[2], 255);
    auto Corner = Ctx.Pixel(1, 1);
    EXPECT_EQ(Corner[0], 255) << "the sky shows where nothing else is";

    // Whatever colour the previous frame left current (the pointer's, in the menu) tints it.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 1, 0);
    DrawArena();
    EXPECT_EQ(Ctx.Pixel(32, 32)[1], 255);
    glDeleteTextures(1, &White);
}

// The sky drawn after the opaque arena into what the arena leaves: the same picture, depth and
// state as the sky drawn first and cleared from the depth buffer.
class SkyOrder : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (IsSkipped()) return;
        // Far from the origin, so a sky drawn with the camera's translation would miss the view.
        Actor_Rec& P = Actors[0];
        P.X = 300;
        P.Z = -200;
        P.Heading = 20;
        CameraMode = 1;
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        // A sky of two faces (the second overlaps the first, so their order shows) close around
        // the eye, and an arena piece in front of the tank covering part of the view.
        SkyTexture = PlainTexture(200, 60, 30);
        GroundTexture = PlainTexture(40, 220, 90);
        SkyboxList = List([this] {
            glBindTexture(GL_TEXTURE_2D, SkyTexture);
            Square(0, 0, 1, -0.5f);
            glBindTexture(GL_TEXTURE_2D, GroundTexture);
            Square(0.2f, 0.2f, 0.1f, -0.5f);
        });
        ArenaList = List([this] {
            glBindTexture(GL_TEXTURE_2D, GroundTexture);
            glPushMatrix();
            glTranslatef(300, -178, -200);
            glRotatef(20, 0, 1, 0);
            Square(-5, -5, 10, -40);
            glPopMatrix();
        });
    }
    void Frame() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Perspective(60);
        glColor3f(1, 1, 1);
        PlaceCamera();
        DrawArena();
    }
    std::vector<float> ReadDepth() const {
        std::vector<float> Depth(size_t(Ctx.Width) * Ctx.Height);
        glReadPixels(0, 0, Ctx.Width, Ctx.Height, GL_DEPTH_COMPONENT, GL_FLOAT, Depth.data());
        return Depth;
    }
    GLuint SkyTexture = 0, GroundTexture = 0;
};

TEST_F(SkyOrder, ArenaFirstGivesTheSamePictureDepthAndStateAsSkyFirst) {
    // Sky first: blending on with a blend that replaces, so only the order differs.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    Frame();
    const std::vector<uint8_t> SkyFirst = Ctx.ReadPixels();
    const std::vector<float>   SkyFirstDepth = ReadDepth();

    glDisable(GL_BLEND);
    Frame();
    GLfloat View[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, View);
    EXPECT_GT(std::fabs(View[12]) + std::fabs(View[13]) + std::fabs(View[14]), 100.0f)
        << "the camera's translation stays in force after the sky";
    GLint   Bound = 0, Func = 0, Mask = 0;
    GLfloat Range[2] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &Bound);
    glGetIntegerv(GL_DEPTH_FUNC, &Func);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &Mask);
    glGetFloatv(GL_DEPTH_RANGE, Range);
    EXPECT_EQ(GLuint(Bound), GroundTexture) << "the arena's texture stays bound";
    EXPECT_EQ(Func, GL_LESS);
    EXPECT_EQ(Mask, GL_TRUE);
    EXPECT_EQ(Range[0], 0.0f);
    EXPECT_EQ(Range[1], 1.0f);

    const std::vector<uint8_t> ArenaFirst = Ctx.ReadPixels();
    int                        SkyPixels = 0, GroundPixels = 0;
    for (size_t I = 0; I < ArenaFirst.size(); I += 4) {
        SkyPixels += ArenaFirst[I] == 200;
        GroundPixels += ArenaFirst[I] == 40;
    }
    // Both must show for the comparison to mean anything: sky around, arena in the middle.
    ASSERT_GT(SkyPixels, 64 * 64 / 4);
    ASSERT_GT(GroundPixels, 64 * 64 / 10);
    EXPECT_EQ(ArenaFirst, SkyFirst);
    EXPECT_EQ(ReadDepth(), SkyFirstDepth) << "the sky leaves no depth behind";
}

TEST_F(SkyOrder, AWaitingSkyIsDrawnOnceAndOnlyByTheNextArena) {
    glDisable(GL_BLEND);
    Frame();
    // The arena drawn again without a camera placed in between: the sky is not drawn again.
    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawArena();
    const auto Corner = Ctx.Pixel(2, 61);
    EXPECT_EQ(Corner[0], 0) << "no sky in the corner";
    EXPECT_EQ(Corner[2], 255);
    EXPECT_EQ(Ctx.Pixel(24, 24)[0], 40) << "the arena is drawn";
}

// --- Trees -----------------------------------------------------------------------------------

class TreeScene : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        for (TreeSpot& T : TreeSpots)
            T = TreeSpot{0, 5000, 10}; // out of sight behind the eye
        Actor_Rec& P = Actors[0];
        P.X = 0;
        P.Z = 0;
        P.Y = -161; // eye at -160: the middle of a Size 20 tree
        P.Heading = 0;
        CameraMode = 1;
        Perspective();
    }
    void Frame() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        PlaceCamera();
        DrawTrees();
    }
    void TearDown() override {
        if (Ctx.Ready()) glDeleteTextures(1, &TexTree);
        TexTree = 0;
        SceneTest::TearDown();
    }
};

TEST_F(TreeScene, TreesBrightenEachOtherInAnyOrderAndWriteNoDepth) {
    glEnable(GL_DEPTH_TEST);
    TexTree = PlainTexture(80, 80, 80);
    TreeSpots[10] = TreeSpot{0, -600, 20};
    TreeSpots[60] = TreeSpot{0, -700, 20};
    Frame();
    const int Both = Ctx.Pixel(32, 32)[0];
    EXPECT_NEAR(Both, 160, 2);
    std::swap(TreeSpots[10], TreeSpots[60]);
    Frame();
    EXPECT_EQ(Ctx.Pixel(32, 32)[0], Both) << "the drawing order does not matter";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean DepthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &DepthWrites);
    EXPECT_TRUE(DepthWrites) << "depth writes are back on afterwards";

    // Something drawn later behind the trees is not hidden by them.
    glDisable(GL_TEXTURE_2D);
    glColor3f(0, 0, 1);
    Square(0, -160, 200, -900);
    EXPECT_EQ(Ctx.Pixel(32, 32)[2], 255);
}

TEST_F(TreeScene, TreesFaceTheViewWhateverTheHeading) {
    TexTree = PlainTexture(200, 200, 200);
    TreeShape = SpriteShape{}; // the full square, not the shape an earlier setup measured
    // Heading 90 looks along -X; an unturned quad would be seen edge on.
    Actors[0].Heading = 90;
    TreeSpots[0] = TreeSpot{-300, 0, 20};
    Frame();
    // 100 wide at 300 away spans about 13 pixels either side of the centre.
    for (int Dx : {-10, 0, 10})
        EXPECT_NEAR(Ctx.Pixel(32 + Dx, 32)[0], 200, 2) << Dx;
    EXPECT_EQ(Ctx.Pixel(32 + 16, 32)[0], 0);
    EXPECT_EQ(Ctx.Pixel(32 - 16, 32)[0], 0);
    // A Size 20 tree reaches 50 above the eye: about 13 pixels.
    EXPECT_NEAR(Ctx.Pixel(32, 32 + 10)[0], 200, 2);
    EXPECT_EQ(Ctx.Pixel(32, 32 + 16)[0], 0);
}

// --- Lists and level of detail ---------------------------------------------------------------

TEST_F(SceneTest, NearAndFarModelsSwitchAtDetailTimesTwoHundred) {
    DetailLevel = 1;
    EXPECT_FALSE(UsesNearModel(250));
    EXPECT_TRUE(UsesNearModel(199.9));
    EXPECT_FALSE(UsesNearModel(200));
    DetailLevel = 2;
    EXPECT_TRUE(UsesNearModel(250));
    DetailLevel = 3;
    EXPECT_TRUE(UsesNearModel(599));
    EXPECT_FALSE(UsesNearModel(600));
}

TEST_F(SceneTest, ModelListsAreMadeInOrderAndReleased) {
    BuildModelLists(); // no animators: empty lists, names still in the compile order
    const uint32_t Lists[] = {StarList,  SphereList, DiskList,     HeroList,
                              TigerList, TurretList, TigerFarList, TurretFarList};
    for (int I = 0; I < 8; I++) {
        EXPECT_TRUE(glIsList(Lists[I])) << I;
        if (I > 0) {
            EXPECT_GT(Lists[I], Lists[I - 1]) << "list " << I << " compiled after " << I - 1;
        }
    }
    // The walk cycles follow the eight, and go with them.
    EXPECT_GT(HeroWalkLists[0], TurretFarList);
    EXPECT_GT(TigerWalkLists[0], HeroWalkLists[WalkPoses - 1]);
    const uint32_t LastWalk = TigerWalkLists[WalkPoses - 1];
    ReleaseModelLists();
    for (int I = 1; I < 8; I++)
        EXPECT_FALSE(glIsList(Lists[I])) << I;
    EXPECT_EQ(HeroList, 0u);
    EXPECT_FALSE(glIsList(LastWalk));
    EXPECT_EQ(HeroWalkLists[0], 0u);
}

TEST_F(SceneTest, PreviousSetupIsReleasedOnlyInTheContextThatMadeIt) {
    HeroList = 0;
    EXPECT_FALSE(SetupContextKept()) << "no setup yet";
    SmallFont.Texture = PlainTexture(9, 9, 9);
    // After a display-mode change the old list name is not a list in the new context: the font
    // name, which may now belong to a new texture, is left alone.
    HeroList = 4000;
    ReleasePreviousSetup();
    EXPECT_TRUE(glIsTexture(SmallFont.Texture));

    BuildModelLists();
    EXPECT_TRUE(SetupContextKept());
    const GLuint Sheet = SmallFont.Texture;
    const GLuint Star = StarList;
    ReleasePreviousSetup();
    EXPECT_FALSE(glIsList(Star));
    EXPECT_FALSE(glIsTexture(Sheet)) << "the kept context's old font sheet is released";
    EXPECT_EQ(SmallFont.Texture, 0u);
    EXPECT_EQ(TigerList, 0u);
}

// --- Shot sprites ----------------------------------------------------------------------------

TEST_F(SceneTest, ShotAtlasCellFollowsLife) {
    EXPECT_EQ(ShotAtlasColumn(32), 0);
    EXPECT_EQ(ShotAtlasColumn(31), 3);
    EXPECT_EQ(ShotAtlasColumn(6), 2);
    EXPECT_EQ(ShotAtlasRow(32), 0);
    EXPECT_EQ(ShotAtlasRow(24), 1);
    EXPECT_EQ(ShotAtlasRow(9), 2);
    EXPECT_EQ(ShotAtlasRow(0), 3);
    for (int Life = 0; Life <= 32; Life++) {
        EXPECT_GE(ShotAtlasRow(Life), 0);
        EXPECT_LE(ShotAtlasRow(Life), 3);
    }
}

TEST_F(SceneTest, ExplodingShotThatHitShowsTheLargeSquare) {
    Perspective();
    Actors[0].Heading = 0;
    TexExplosion = PlainTexture(255, 255, 255);
    TexShot = TexExplosion;
    // Full squares, as for these plain textures, not the shapes an earlier setup measured.
    ShotShape = SpriteShape{};
    for (SpriteShape& Shape : ExplosionShapes)
        Shape = SpriteShape{};
    // Half-size 13 against 3 at distance 50: an edge at about 6 against 26 pixels.
    for (bool Hit : {false, true}) {
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        DrawShotSprite(0, -3, -50, 20, 0, 10, Hit);
        EXPECT_GT(Ctx.Pixel(32, 32)[0], 0);
        EXPECT_EQ(Ctx.Pixel(32 + 16, 32)[0] > 0, Hit) << "hit " << Hit;
    }
    // A finished shot draws nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    DrawShotSprite(0, -3, -50, -1, 0, 10, true);
    EXPECT_EQ(Ctx.Pixel(32, 32)[0], 0);
    glDeleteTextures(1, &TexExplosion);
    TexExplosion = TexShot = 0;
}

// A shot outside the view is not drawn but sets the same state as one that is, so what the pass
// draws next looks the same whether it was seen or not.
TEST_F(SceneTest, ShotOutsideTheViewDrawsNothingButSetsItsState) {
    Perspective();
    Actors[0].Heading = 0;
    TexShot = PlainTexture(255, 255, 255);
    ShotShape = SpriteShape{};
    BeginShotPass();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0, 0, 0, 0);
    glBlendFunc(GL_ONE, GL_ZERO);
    DrawShotSprite(0, -3, 50, 100, 0, 150, false); // flying, behind the eye
    EndShotPass();
    EXPECT_EQ(Ctx.Pixel(32, 32)[0], 0);
    GLint   Texture = 0, Destination = 0;
    GLfloat Colour[4] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &Texture);
    glGetIntegerv(GL_BLEND_DST, &Destination);
    glGetFloatv(GL_CURRENT_COLOR, Colour);
    EXPECT_EQ(GLuint(Texture), TexShot);
    EXPECT_EQ(Destination, GL_ONE);
    EXPECT_NEAR(Colour[3], 0.9f, 1e-3);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // The same shot in front of the eye is drawn.
    BeginShotPass();
    DrawShotSprite(0, -3, -50, 100, 0, 150, false);
    EndShotPass();
    EXPECT_GT(Ctx.Pixel(32, 32)[0], 0);
    glDeleteTextures(1, &TexShot);
    TexShot = 0;
}

} // namespace
