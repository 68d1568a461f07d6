// Bitmap fonts drawn for real in a headless context: glyph geometry, cell lookup, the state that
// PrintText leaves behind, panels, and the game's own font sheets.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/Platform.h"
#include "render/OrinGLFont.h"
#include "shell/Window.h"
#include "support/GLContext.h"
#include "support/GameFonts.h"
#include "support/TempFolder.h"

namespace {

constexpr int Side = 256; // the test window, pixels; one overlay unit is 2.56 pixels

// Pixel column or row of an overlay coordinate.
int Px(double Units) {
    return static_cast<int>(Units * Side / 100.0);
}

// A 2 x 2 sheet of 16 x 80-texel cells: red tells the cell (30, 60 top row; 90, 120 bottom),
// the lowest 4 texel rows of each cell (its twentieth) are green, the row above them blue.
GLuint MakeCellSheet() {
    const int            W = 32, H = 160;
    std::vector<uint8_t> Texels(W * H * 3);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const int      RowFromTop = 1 - Y / 80;
            const int      Cell = RowFromTop * 2 + X / 16;
            uint8_t* const T = &Texels[(Y * W + X) * 3];
            T[0] = static_cast<uint8_t>(30 * (Cell + 1));
            T[1] = Y % 80 < 4 ? 255 : 0;
            T[2] = Y % 80 >= 4 && Y % 80 < 8 ? 255 : 0;
        }
    GLuint Name = 0;
    glGenTextures(1, &Name);
    glBindTexture(GL_TEXTURE_2D, Name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, W, H, 0, GL_RGB, GL_UNSIGNED_BYTE, Texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return Name;
}

// Size 30: three glyphs side by side fill most of the 100-unit width.
OrinGLF CellFont(GLuint Sheet) {
    OrinGLF Font{};
    Font.CharSet = "ABCA"; // "A" twice: the first cell wins
    Font.Columns = 2;
    Font.Rows = 2;
    Font.Texture = Sheet;
    Font.Loaded = true;
    SetViewport(Font, Side, Side);
    SetFontSize(Font, 30);
    SetFontColor(Font, 1, 1, 1);
    return Font;
}

void ClearScreen() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A Side x Side context for each test.
class TextDrawing : public ::testing::Test {
  protected:
    void             SetUp() override { REQUIRE_GL(Ctx); }
    clsTestGLContext Ctx{Side, Side};
};

// Does any pixel of the rectangle (pixels, inclusive) have a channel above Level?
bool AnyLit(const clsTestGLContext& Ctx, int X0, int Y0, int X1, int Y1, int Channel = -1,
            int Level = 40) {
    const std::vector<uint8_t> P = Ctx.ReadPixels();
    for (int Y = std::max(Y0, 0); Y <= std::min(Y1, Ctx.Height - 1); ++Y)
        for (int X = std::max(X0, 0); X <= std::min(X1, Ctx.Width - 1); ++X)
            for (int C = 0; C < 3; ++C)
                if ((Channel < 0 || C == Channel) && P[(Y * Ctx.Width + X) * 4 + C] > Level)
                    return true;
    return false;
}

TEST_F(TextDrawing, PrintTextCellsComeFromTheFirstOccurrenceAndTheirLowestTwentiethIsHidden) {
    OrinGLF Font = CellFont(MakeCellSheet());
    ClearScreen();
    PrintText(Font, "BAC", 0, 0, 1); // glyphs 30 units wide, from the top edge down to y 70
    EXPECT_NEAR(Ctx.Pixel(Px(15), Px(85))[0], 60, 2); // B: top row, right cell
    EXPECT_NEAR(Ctx.Pixel(Px(45), Px(85))[0], 30, 2); // A: its first cell, not the fourth
    EXPECT_NEAR(Ctx.Pixel(Px(75), Px(85))[0], 90, 2); // C: bottom row, left cell
    // The green bottom strip of the cells never shows; the blue row just above it does.
    EXPECT_FALSE(AnyLit(Ctx, 0, 0, Side - 1, Side - 1, 1));
    EXPECT_TRUE(AnyLit(Ctx, Px(5), Px(70), Px(25), Px(70) + 3, 2));
    EXPECT_FALSE(AnyLit(Ctx, Px(5), Px(70) + 6, Px(25), Px(100) - 1, 2));
    EXPECT_FALSE(AnyLit(Ctx, 0, 0, Side - 1, Px(70) - 2));
}

TEST_F(TextDrawing, PrintTextAbsentCharactersLeaveGapsAndOneCharacterShowsTheWholeSheet) {
    OrinGLF Font = CellFont(MakeCellSheet());
    ClearScreen();
    PrintText(Font, "AzB", 0, 0, 1);
    EXPECT_TRUE(AnyLit(Ctx, Px(5), Px(75), Px(25), Px(95), 0, 20));
    EXPECT_FALSE(AnyLit(Ctx, Px(30) + 1, Px(70) + 1, Px(60) - 1, Px(100) - 1, -1, 5)); // no "z"
    EXPECT_TRUE(AnyLit(Ctx, Px(65), Px(75), Px(85), Px(95), 0, 20));

    ClearScreen();
    PrintText(Font, "C", 0, 0, 1); // all four cells squeezed into one glyph
    EXPECT_NEAR(Ctx.Pixel(Px(7), Px(93))[0], 30, 2);
    EXPECT_NEAR(Ctx.Pixel(Px(22), Px(93))[0], 60, 2);
    EXPECT_NEAR(Ctx.Pixel(Px(7), Px(77))[0], 90, 2);
    EXPECT_NEAR(Ctx.Pixel(Px(22), Px(77))[0], 120, 2);
}

TEST_F(TextDrawing, PrintTextAlphaNarrowsTheAdvanceAndTheHeight) {
    OrinGLF Font = CellFont(MakeCellSheet());
    SetFontSize(Font, 10);
    ClearScreen();
    // Six glyphs at half opacity from x 10: the last starts at 10 + 2.5 x 10 and ends at 45;
    // every glyph is 5 high, from y 80 (20 down from the top) to 75.
    PrintText(Font, "AAAAAA", 10, 20, 0.5);
    // Half opacity makes the cell's red 30 a faint 15.
    EXPECT_TRUE(AnyLit(Ctx, Px(43), Px(76), Px(44.5), Px(79), 0, 8));
    EXPECT_FALSE(AnyLit(Ctx, Px(45) + 2, Px(70), Side - 1, Px(85), -1, 3));
    EXPECT_FALSE(AnyLit(Ctx, 0, Px(70), Px(10) - 2, Px(85), -1, 3));
    EXPECT_FALSE(AnyLit(Ctx, 0, Px(80) + 2, Side - 1, Side - 1, -1, 3));
    EXPECT_FALSE(AnyLit(Ctx, 0, 0, Side - 1, Px(75) - 2, -1, 3));
    for (double X = 11; X < 44; X += 1)
        EXPECT_TRUE(AnyLit(Ctx, Px(X), Px(77), Px(X), Px(77), 0, 8)) << X;
}

// Model-view and projection matrices as they stand.
void Matrices(GLfloat ModelView[16], GLfloat Projection[16]) {
    glGetFloatv(GL_MODELVIEW_MATRIX, ModelView);
    glGetFloatv(GL_PROJECTION_MATRIX, Projection);
}

TEST_F(TextDrawing, PrintTextLeavesThe3DPerspectiveWhiteAndTexturingEvenForEmptyText) {
    OrinGLF Font = CellFont(0);
    SetViewport(Font, 200, 100);

    // What the 45-degree perspective of a 200 x 100 window looks like.
    GLfloat Expected[16], Identity[16], ModelView[16], Projection[16];
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 2.0, 0.1, 1500);
    glGetFloatv(GL_PROJECTION_MATRIX, Expected);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glGetFloatv(GL_MODELVIEW_MATRIX, Identity);

    // A depth value to be cleared, a strange colour and matrix, texturing and blending off.
    ClearScreen();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0), glVertex3f(1, -1, 0), glVertex3f(1, 1, 0), glVertex3f(-1, 1, 0);
    glEnd();
    GLfloat Depth = 0;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &Depth);
    ASSERT_LT(Depth, 0.9f);
    glTranslatef(3, 4, 5);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glDisable(GL_TEXTURE_2D);

    OverlayMode = true;
    PrintText(Font, "", 0, 0, 0.5);
    Matrices(ModelView, Projection);
    for (int I = 0; I < 16; ++I) {
        EXPECT_NEAR(Projection[I], Expected[I], 1e-5) << I;
        EXPECT_EQ(ModelView[I], Identity[I]) << I;
    }
    GLint Mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(Mode, GL_MODELVIEW);
    GLfloat Colour[4];
    glGetFloatv(GL_CURRENT_COLOR, Colour);
    EXPECT_EQ(Colour[0], 1.0f);
    EXPECT_EQ(Colour[1], 1.0f);
    EXPECT_EQ(Colour[2], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean Mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &Mask);
    EXPECT_TRUE(Mask); // turned off for the faint text and back on after it
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &Depth);
    EXPECT_EQ(Depth, 1.0f);
    EXPECT_TRUE(OverlayMode); // the remembered projection mode is not touched
    OverlayMode = false;
}

TEST_F(TextDrawing, PrintTextAFontThatIsNotLoadedTouchesNothing) {
    OrinGLF Font = CellFont(MakeCellSheet());
    Font.Loaded = false;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(2, 2, 2);
    glDisable(GL_TEXTURE_2D);
    ClearScreen();
    PrintText(Font, "ABC", 0, 0, 1);
    GLfloat ModelView[16], Projection[16];
    Matrices(ModelView, Projection);
    EXPECT_EQ(Projection[0], 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(AnyLit(Ctx, 0, 0, Side - 1, Side - 1));
}

TEST_F(TextDrawing, DrawPanelBlackBelowFullOpacityTheCurrentColourAtFull) {
    ScreenWidth = Side;
    ScreenHeight = Side;
    OverlayMode = false;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    DrawPanel("", 10, 10, 30, 20, 0.5); // x 10..40, y 60..90 in the overlay
    EXPECT_NEAR(Ctx.Pixel(Px(25), Px(75))[0], 128, 3);
    EXPECT_EQ(Ctx.Pixel(Px(45), Px(75))[0], 255);
    EXPECT_EQ(Ctx.Pixel(Px(25), Px(58))[0], 255);
    glColor3f(0, 1, 0);
    DrawPanel("", 50, 10, 10, 10, 1);
    const std::vector<uint8_t> P = Ctx.Pixel(Px(55), Px(85));
    EXPECT_EQ(P[0], 0);
    EXPECT_EQ(P[1], 255);
    EXPECT_EQ(P[2], 0);
    EXPECT_FALSE(OverlayMode);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// --- the game's own sheets ---

// The two game fonts loaded from the generated data folder for a Side x Side screen; the test
// is skipped when the sheets are missing.
class GameFonts : public TextDrawing {
  protected:
    void SetUp() override {
        TextDrawing::SetUp();
        if (IsSkipped()) return;
        if (!CreateGeneratedFonts(Side, Side))
            GTEST_SKIP() << "font sheets not generated in " << TARVIX_DATA_DIR;
        ASSERT_NE(SmallFont.Texture, 0u);
        ASSERT_NE(BigFont.Texture, 0u);
    }
};

TEST_F(GameFonts, HaveTheirSetsGridsAndSizes) {
    EXPECT_EQ(SmallFont.CharSet.size(), 98u);
    EXPECT_EQ(SmallFont.CharSet.find('['), std::string::npos);
    EXPECT_EQ(SmallFont.CharSet.find('('), 8u);
    EXPECT_EQ(SmallFont.CharSet.rfind('('), 59u); // the cell where "[" would be
    EXPECT_EQ(SmallFont.CharSet.substr(95), "   ");
    EXPECT_EQ(SmallFont.Columns, 14);
    EXPECT_EQ(SmallFont.Rows, 7);
    EXPECT_EQ(SmallFont.Size, 1.0);
    EXPECT_EQ(BigFont.CharSet, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,");
    EXPECT_EQ(BigFont.Columns, 6);
    EXPECT_EQ(BigFont.Rows, 7);
    EXPECT_EQ(BigFont.Size, 1.5);
    EXPECT_TRUE(SmallFont.Loaded);
    EXPECT_EQ(SmallFont.ViewWidth, Side);
    EXPECT_EQ(SmallFont.ViewHeight, Side);
}

// Characters outside a font's set leave blank cells: the space of "GAME OVER" in the big font,
// the square brackets in the small one.
TEST_F(GameFonts, CharactersOutsideTheSetLeaveBlankCells) {
    const struct {
        OrinGLF*    Font;
        const char* Text;
        const char* Lit; // one mark a cell
    } Cases[] = {{&BigFont, "GAME OVER", "xxxx.xxxx"}, {&SmallFont, "W[M]()", "x.x.xx"}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        SetFontSize(*C.Font, 10); // cells of 10 units
        SetFontColor(*C.Font, 1, 1, 1);
        ClearScreen();
        PrintText(*C.Font, C.Text, 0, 10, 1);
        for (int Cell = 0; C.Text[Cell]; ++Cell) {
            const bool Lit =
                AnyLit(Ctx, Px(Cell * 10) + 1, Px(80) + 1, Px(Cell * 10 + 10) - 1, Px(90) - 1);
            EXPECT_EQ(Lit, C.Lit[Cell] == 'x') << "cell " << Cell;
        }
    }
}

TEST_F(TextDrawing, AMissingGameFontSheetStillDrawsWithTextureZero) {
    const int Before = MessagesShown;
    {
        clsTempFolder Empty; // no fonts folder here: the loader reports, the font stays usable
        CreateGameFonts(Side, Side);
    }
    EXPECT_EQ(MessagesShown, Before + 2);
    EXPECT_EQ(LastMessageText, "Couldn't load JPG - \"fonts\\big.jpg\"")
        << "named as the game writes it";
    EXPECT_TRUE(SmallFont.Loaded);
    EXPECT_EQ(SmallFont.Texture, 0u);
    SetFontSize(SmallFont, 10);
    SetFontColor(SmallFont, 1, 1, 1);
    ClearScreen();
    glDisable(GL_LIGHTING);
    PrintText(SmallFont, "AB", 0, 10, 1); // untextured: two plain boxes
    EXPECT_TRUE(AnyLit(Ctx, Px(2), Px(82), Px(18), Px(88)));
}

} // namespace
