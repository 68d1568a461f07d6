// Fonts: renders the font sheets with FreeType from the DejaVu faces.
// The game shows a cell Size percent of the screen's width wide and of its height high, so on a 4:3
// screen a cell is a third wider than it is tall, and text advances by a whole cell per character.
// The glyphs are therefore drawn wide (a horizontal stretch), fill most of the cell, and leave the
// lowest twentieth of every cell empty because the game never shows it.
#include "Fonts.h"

#include "Image.h"

#include <algorithm>
#include <cstdio>
#include <ft2build.h>
#include FT_FREETYPE_H

const char* const BigFontCharSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,";

std::string SmallFontCharSet() {
    std::string Set;
    for (int Code = 32; Code <= 126; ++Code)
        Set += Code == '[' ? '(' : (Code == ']' ? ')' : static_cast<char>(Code));
    return Set + "   ";
}

namespace {

struct SheetLayout {
    const char* File;        // under fonts/
    const char* Face;        // TrueType file
    int         Columns, Rows;
    int         CellWidth, CellHeight;   // pixels
    double      Stretch;     // wanted horizontal stretch of the glyphs, in texels
};

// Square cells: the game shows them a third wider than tall on a 4:3 screen, which widens the
// glyphs by itself. The sheets' sizes lie just above three quarters of a power of two, so the mipmap
// builder, which rounds sizes to the nearest power of two, scales them up and never drops rows.
const SheetLayout Sheets[] = {
    {"font.jpg", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf", 14, 7, 64, 64, 1.65},
    {"big.jpg", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 6, 7, 128, 128, 1.1},
};

constexpr int Margin = 2;   // blank pixels kept at the top and sides of every cell

// Ink extents of the character set at the face's current size and transform.
struct Extents {
    int Above = 0, Below = 0, Widest = 0;
};

Extents Measure(FT_Face Face, const std::string& Set) {
    Extents E;
    for (char C : Set) {
        if (C == ' ' || FT_Load_Char(Face, static_cast<unsigned char>(C), FT_LOAD_RENDER))
            continue;
        const FT_GlyphSlot G = Face->glyph;
        E.Above = std::max(E.Above, G->bitmap_top);
        E.Below = std::max(E.Below, static_cast<int>(G->bitmap.rows) - G->bitmap_top);
        E.Widest = std::max(E.Widest, static_cast<int>(G->bitmap.width));
    }
    return E;
}

void SetScale(FT_Face Face, int PixelSize, double Stretch) {
    FT_Set_Pixel_Sizes(Face, 0, PixelSize);
    FT_Matrix M = {static_cast<FT_Fixed>(Stretch * 65536.0), 0, 0, 0x10000};
    FT_Set_Transform(Face, &M, nullptr);
}

// The usable band of a cell: a margin at the top and sides, and the lowest twentieth (plus a little
// room against the JPEG coder's ringing) left empty.
int UsableHeight(const SheetLayout& L) { return L.CellHeight * 19 / 20 - Margin - 2; }
int UsableWidth(const SheetLayout& L) { return L.CellWidth - 2 * Margin; }

// The face's size and stretch are chosen from the letters and digits, so that a few tall signs such
// as "|" or "$" do not shrink the whole sheet; those are shrunk on their own when drawn.
struct Fit {
    int    Size = 8;
    double Stretch = 1.0;
    int    Baseline = 0;   // pixels from the cell's top
};

Fit FitFace(FT_Face Face, const SheetLayout& L) {
    const std::string Core = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int Size = L.CellHeight; Size > 4; --Size) {
        SetScale(Face, Size, 1.0);
        const Extents Plain = Measure(Face, Core);
        if (Plain.Above + Plain.Below > UsableHeight(L))
            continue;
        const double Stretch = std::min(L.Stretch, (UsableWidth(L) - 1.0) / std::max(1, Plain.Widest));
        SetScale(Face, Size, Stretch);
        const Extents E = Measure(Face, Core);
        if (E.Widest <= UsableWidth(L))
            return {Size, Stretch, Margin + E.Above};
    }
    return {};
}

void DrawCell(clsImage& Sheet, FT_Face Face, char C, int CellX, int CellY, const SheetLayout& L, const Fit& F) {
    if (C == ' ')
        return;
    const std::string One(1, C);
    int Size = F.Size;
    for (; Size > 4; --Size) {
        SetScale(Face, Size, F.Stretch);
        const Extents E = Measure(Face, One);
        if (F.Baseline - E.Above >= Margin && F.Baseline + E.Below <= Margin + UsableHeight(L) &&
            E.Widest <= UsableWidth(L))
            break;
    }
    if (FT_Load_Char(Face, static_cast<unsigned char>(C), FT_LOAD_RENDER))
        return;
    const FT_Bitmap& B = Face->glyph->bitmap;
    const int Left = CellX + (L.CellWidth - static_cast<int>(B.width)) / 2;
    const int Top = CellY + F.Baseline - Face->glyph->bitmap_top;
    for (unsigned Y = 0; Y < B.rows; ++Y)
        for (unsigned X = 0; X < B.width; ++X) {
            const double V = B.buffer[Y * B.pitch + X] / 255.0;
            Sheet.Set(Left + X, Top + Y, Colour{V, V, V});
        }
}

bool WriteSheet(FT_Library Library, const std::string& Root, const SheetLayout& L, const std::string& Set) {
    FT_Face Face;
    if (FT_New_Face(Library, L.Face, 0, &Face)) {
        std::fprintf(stderr, "assetgen: cannot open the font face %s\n", L.Face);
        return false;
    }
    const Fit F = FitFace(Face, L);
    clsImage Sheet(L.Columns * L.CellWidth, L.Rows * L.CellHeight);
    for (size_t I = 0; I < Set.size(); ++I)
        DrawCell(Sheet, Face, Set[I], (I % L.Columns) * L.CellWidth, (I / L.Columns) * L.CellHeight, L, F);
    FT_Done_Face(Face);
    return WriteJpeg(Root + "/fonts/" + L.File, Sheet, 95);
}

} // namespace

bool WriteFonts(const std::string& Root) {
    FT_Library Library;
    if (FT_Init_FreeType(&Library)) {
        std::fprintf(stderr, "assetgen: FreeType does not start\n");
        return false;
    }
    bool Ok = WriteSheet(Library, Root, Sheets[0], SmallFontCharSet());
    Ok = WriteSheet(Library, Root, Sheets[1], BigFontCharSet) && Ok;
    FT_Done_FreeType(Library);
    return Ok;
}
