// Menu drawing: the frame, the items of the shown and the fading page, and the backdrop stars.
#include "menu/MenuDraw.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <ctime>

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/Screen.h"
#include "menu/Menu.h"
#include "menu/MenuInput.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/OrinGLFont.h"
#include "render/View.h"
#include "world/World.h"

BackdropStar MenuBackdrop[MenuBackdropStars];

namespace {

constexpr double TransitionStep = 0.0005; // per slot and unit of SpeedFactor: a fade takes 0.4 s

const char* const DetailTexts[] = {"", "Low Detail", "Medium Detail", "High Detail"};
const char* const ResolutionTexts[] = {"",
                                       "Resolution: 640x480",
                                       "Resolution: 800x600",
                                       "Resolution: 1024x768",
                                       "Resolution: 1280x1024",
                                       "Resolution: 1280x800 (wide)"};

// A value label's leading text and the number it shows, by key.
struct NumberLabel {
    const char*    Key;
    const char*    Text;
    const int32_t* Value;
};
const NumberLabel NumberLabels[] = {
    {"ia_tanks", "Enemy Tanks:", &ArenaTanks},
    {"ia_turrets", "Enemy Turrets:", &ArenaTurrets},
    {"ia_bonus", "Bonus Items:", &ArenaBonus},
    {"ia_start_energy", "Energy:", &ArenaStartEnergy},
    {"ia_max_shots", "Max Shots:", &ArenaMaxShots},
};

// "Tarvix Game Menu - " and the local date and time.
std::string FrameCaption() {
    const std::time_t Now = std::time(nullptr);
    std::tm           Local{};
    localtime_r(&Now, &Local);
    char Stamp[64];
    if (std::strftime(Stamp, sizeof Stamp, "%x %X", &Local) == 0) Stamp[0] = '\0';
    return std::string("Tarvix Game Menu - ") + Stamp;
}

// Width of the name field and the colour box: 2 per character of the name, 14 when empty.
double NameFieldWidth() { return 2.0 * static_cast<double>(Actors[0].Name.size()) + 14.0; }

// Where a page title starts: where the table puts it, or, for a title too long to end inside the
// screen there ("GRAPHICS SETTINGS" would run to 105), just far enough left to end at the right
// edge. The fully faded-in width decides, so a title does not slide while its page fades in.
double TitleLeft(const MenuItem& Item, double Size) {
    const double Wide = Size * static_cast<double>(Item.Caption.size());
    return std::min(Item.X, 100.0 - Wide);
}

void DrawTitle(const MenuItem& Item, double A) {
    constexpr double TitleSize = 5.0;
    SetFontSize(BigFont, TitleSize);
    SetFontColor(BigFont, 1, 1, 1);
    PrintText(BigFont, Item.Caption, TitleLeft(Item, TitleSize), Item.Y, A);
}

void DrawButton(const MenuItem& Item, double A) {
    if (!GameInProgress && (Item.Action == ActionResume || Item.Caption == "End Game")) return;
    // During a game the player's name and colour are fixed: "Player" is shown as plain text.
    const bool Plain = GameInProgress && Item.Caption == "Player";
    if (!Plain) {
        if (Item.Hover)
            DrawPanel("", Item.X - Item.Width / 3, Item.Y, Item.Width + 2 * (Item.Width / 3),
                      Item.Height, 0.9 * A);
        else
            DrawPanel("", Item.X, Item.Y, Item.Width, Item.Height, 0.4 * A);
    }
    if (Item.Action == ActionToggle) {
        DrawPanel("", Item.X - 8, Item.Y + 1, 4, Item.Height - 2, 0.5 * A);
        const bool* Flag = MenuToggleFlag(Item.Key);
        if (Flag != nullptr && *Flag) {
            glColor3f(1, 0, 0); // shown only at full opacity; a fading mark is dark
            DrawPanel("", Item.X - 7, Item.Y + 2, 2, Item.Height - 4, A);
        }
    }
    SetFontColor(SmallFont, 1, 1, 1);
    SetFontSize(SmallFont, Item.Hover && !Plain ? 3.0 : 2.0);
    PrintText(SmallFont, Item.Caption, Item.X + 1, Item.Y + 1, A);
}

void DrawTextField(MenuItem& Item, double A) {
    SetFontSize(SmallFont, 2.0); // the colour stays as the preceding item left it
    const double W = NameFieldWidth();
    DrawPanel("", Item.X, Item.Y, W, Item.Height, Item.Hover || TextEditMode == 1 ? 0.99 * A : 0.4 * A);
    if (Item.Key == "Name") PrintText(SmallFont, "Name:" + Actors[0].Name, Item.X + 3, Item.Y + 2, A);
    Item.Width = W; // the clickable area follows the name's length
}

// The player's colour: a box as wide as the name field, "Color:" and a swatch.
void DrawColorLabel(const MenuItem& Item, double A) {
    DrawPanel("", Item.X, Item.Y, NameFieldWidth(), Item.Height, 0.4 * A);
    PrintText(SmallFont, "Color:", Item.X + 3, Item.Y + 2, A);
    glColor3d(Actors[0].ColorR, Actors[0].ColorG, Actors[0].ColorB);
    DrawPanel("", Item.X + 15, Item.Y + 1.5, 10, 2.5, A); // shows the colour once A reaches 1
}

void DrawValueLabel(const MenuItem& Item, double A) {
    SetFontColor(SmallFont, 1.0, 0.8, 1.0);
    SetFontSize(SmallFont, 2.0);
    if (Item.Key == "Color") {
        DrawColorLabel(Item, A);
        return;
    }
    const std::string Text = ValueLabelText(Item.Key);
    if (!Text.empty()) PrintText(SmallFont, Text, Item.X + 3, Item.Y - 3, A);
}

void DrawItem(MenuItem& Item, double A) {
    switch (Item.Kind) {
    case KindPageTitle: DrawTitle(Item, A); break;
    case KindButton: DrawButton(Item, A); break;
    case KindTextField: DrawTextField(Item, A); break;
    case KindValueLabel: DrawValueLabel(Item, A); break;
    default: break;
    }
}

} // namespace

std::string ValueLabelText(const std::string& Key) {
    if (Key == "Detail")
        return DetailLevel >= 1 && DetailLevel <= 3 ? DetailTexts[DetailLevel] : "";
    if (Key == "Resolution")
        return ResolutionWanted >= 1 && ResolutionWanted <= 5 ? ResolutionTexts[ResolutionWanted] : "";
    if (Key == "Anisotropic") {
        const int64_t Level = Trunc(Anisotropy);
        if (Level == 0) return "Anisotropic Filtering: OFF";
        return "Anisotropic Filtering: " + std::to_string(Level) + "x";
    }
    if (Key == "Volume") return "Volume:" + std::to_string(SoundVolume);
    for (const NumberLabel& Label : NumberLabels)
        if (Key == Label.Key) return Label.Text + std::to_string(*Label.Value);
    return "";
}

void QueryMaxAnisotropy() {
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &MaxAnisotropy);
    while (glGetError() != GL_NO_ERROR) {
    } // an unknown query leaves its error behind; later checks must not see it
}

void SeedMenuBackdrop() {
    for (BackdropStar& Star : MenuBackdrop) {
        Star.X       = static_cast<float>(3 + 10 * RandomReal());
        Star.Y       = static_cast<float>(100 * RandomReal());
        Star.VY      = static_cast<float>(0.4 + 0.2 * RandomReal());
        Star.VX      = 0;
        Star.Red     = 0;
        Star.Green   = 0;
        Star.Blue    = static_cast<float>(0.5 + 0.5 * RandomReal());
        Star.Opacity = static_cast<float>(RandomReal());
    }
}

namespace {

// One backdrop star a frame on: it rises, turns, swerves right just below the hovered item, and
// starts again at the bottom left once it leaves the screen.
void MoveBackdropStar(BackdropStar& Star) {
    Star.X += SpeedFactor / 100 * Star.VX;
    Star.Y += Star.VY * SpeedFactor;
    Star.Angle += Star.VY * 5 * SpeedFactor;
    if (100 - (HoverItemY + 20) < Star.Y && Star.Y < 100 - (HoverItemY + 10)) Star.VX += 3 * SpeedFactor;
    if (Star.X > 100 || Star.Y > 110) {
        Star.X       = static_cast<float>(3 + 10 * RandomReal());
        Star.Y       = -10;
        Star.VY      = static_cast<float>(0.4 + 0.2 * RandomReal());
        Star.VX      = 0;
        Star.Red     = 0;
        Star.Green   = 0;
        Star.Blue    = static_cast<float>(RandomReal());
        Star.Opacity = static_cast<float>(RandomReal());
    }
}

} // namespace

void DrawMenuBackdrop() {
    glDisable(GL_TEXTURE_2D);
    SetOverlayMode(true);
    for (BackdropStar& Star : MenuBackdrop) {
        glColor4f(Star.Red, Star.Green, Star.Blue, Star.Opacity / 10);
        glPushMatrix();
        glTranslatef(Star.X + 3, Star.Y + 2, -0.8f);
        glRotatef(Star.Angle, 0, 0, 1);
        glCallList(StarList);
        MoveBackdropStar(Star);
        glPopMatrix();
    }
    SetOverlayMode(false);
}

void DrawMenu() {
    glDepthMask(GL_FALSE);
    glDisable(GL_TEXTURE_2D);
    SetOverlayMode(true);
    DrawPanel(FrameCaption(), 1, 1, 98, 98, 0.7);
    for (int32_t Slot = 1; Slot <= MenuItemSlots; ++Slot) {
        // Lowered once per slot, used or not: 0.05 per unit of SpeedFactor in one frame.
        if (MenuTransition > 0) MenuTransition -= TransitionStep * SpeedFactor;
        MenuItem& Item = MenuItems[Slot];
        const bool Shown = Item.Page == MenuPage;
        const bool Fading = Item.Page == PreviousMenuPage && MenuTransition > 0;
        if (!Item.Used || !(Shown || Fading)) continue;
        if (MenuTransition < 0) MenuTransition = 0;
        DrawItem(Item, Shown ? 1 - MenuTransition : MenuTransition);
    }
    PrintText(SmallFont, "", 0, 0, 0); // draws nothing; leaves white, texturing on, 3D projection
    SetOverlayMode(false);
    glDepthMask(GL_TRUE);
}
