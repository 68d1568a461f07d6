// Fonts: the font sheets, drawn as pixel fonts for the sizes the game shows them at.
// The game samples the sheets with GL_NEAREST and draws a cell Size percent of the screen wide and
// high; the small font's HUD text (size 1.4) is then about 9 x 7 pixels at 640x480, its log text
// (size 0.8) 10 x 8 at 1280x1024 and 6 x 5 at 800x600, the big font's smallest text (size 2.0 at
// 640x480) about 13 x 10. Each glyph is therefore a design on a coarse grid, 6 x 6 squares for the
// small font and 6 x 7 for the big one, scaled up in the sheet so that one grid square becomes one
// screen pixel or more at those sizes: every stroke is sampled, and at larger sizes the squares
// simply grow. Only the log at 800x600 has five pixel rows for the small font's six: there the
// third row of squares is skipped, and the designs keep every letter and digit distinct without
// it. The grid fills the shown part of the cell; the lowest twentieth, which the game never shows,
// stays black.
#include "Fonts.h"

#include "Image.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

const char* const BigFontCharSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,";

std::string SmallFontCharSet() {
    std::string Set;
    for (int Code = 32; Code <= 126; ++Code)
        Set += Code == '[' ? '(' : (Code == ']' ? ')' : static_cast<char>(Code));
    return Set + "   ";
}

namespace {

// One glyph: its rows from the top, '#' lit and '.' dark, all rows of one width.
struct Glyph {
    char        Char;
    const char* Rows[7];
};

// The small font, 6 rows and at most 5 squares wide. Capitals, digits and tall lower-case letters
// stand on the fifth row and reach the top; the other lower-case letters leave the top row empty,
// and those with descenders (g, j, p, q, y, the comma and the semicolon) reach down into the sixth
// row, which is theirs alone. Near-twins differ in whole squares, and still do without the third
// row, which the log at 800x600 skips: 0 is three squares wide, 8 four with a waist, O five; B has
// a smaller upper bowl than D; 1 has a flag and no foot, I two bars, l a foot, T a wide bar; 5
// square corners, S round ones; 7 a full-width bar over a slanted stem, ? a gap above its dot.
// Shapes follow common type where the squares allow, so that they read as what they are: the
// slash leans across four squares (a steep one passes for a 7), the apostrophe slants (a
// straight one beside a letter reads as a doubled quote), y is a v with a tail. The colon's dots
// sit at the top and the foot of the lower-case letters, and the minus is short, so that it is
// not taken for a dash or an equals sign. The full stop and the colon stand left of the cell's
// middle, close to what they follow: centred, the gap after "..." reads as one dot more.
constexpr Glyph SmallGlyphs[] = {
    {'!', {"#", "#", "#", ".", "#", "."}},
    {'"', {"#.#", "#.#", "...", "...", "...", "..."}},
    {'#', {".#.#.", "#####", ".#.#.", "#####", ".#.#.", "....."}},
    {'$', {".###", "##..", ".##.", "..##", "###.", "...."}},
    {'%', {"##..", "##.#", "..#.", ".#..", "#.##", "...."}},
    {'&', {".#..", "#.#.", ".#..", "#.#.", ".#.#", "...."}},
    {'\'', {".#", "#.", "..", "..", "..", ".."}},
    {'(', {".#", "#.", "#.", "#.", ".#", ".."}},
    {')', {"#.", ".#", ".#", ".#", "#.", ".."}},
    {'*', {"...", "#.#", ".#.", "#.#", "...", "..."}},
    {'+', {"...", ".#.", ".#.", "###", ".#.", "..."}},
    {',', {"..", "..", "..", "..", ".#", "#."}},
    {'-', {"...", "...", "...", "###", "...", "..."}},
    {'.', {"...", "...", "...", "...", "#..", "..."}},
    {'/', {"...#", "..#.", "..#.", ".#..", "#...", "...."}},
    {'0', {".#.", "#.#", "#.#", "#.#", ".#.", "..."}},
    {'1', {".#.", "##.", ".#.", ".#.", ".#.", "..."}},
    {'2', {".##.", "#..#", "..#.", ".#..", "####", "...."}},
    {'3', {"###.", "...#", ".##.", "...#", "###.", "...."}},
    {'4', {"..#.", ".##.", "#.#.", "####", "..#.", "...."}},
    {'5', {"####", "#...", "####", "...#", "####", "...."}},
    {'6', {".##.", "#...", "###.", "#..#", ".##.", "...."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", "....."}},
    {'8', {".##.", "#..#", ".##.", "#..#", ".##.", "...."}},
    {'9', {".##.", "#..#", ".###", "...#", ".##.", "...."}},
    {':', {"...", "#..", "...", "...", "#..", "..."}},
    {';', {"..", "..", ".#", "..", ".#", "#."}},
    {'<', {"..#", ".#.", "#..", ".#.", "..#", "..."}},
    {'=', {"...", "###", "...", "###", "...", "..."}},
    {'>', {"#..", ".#.", "..#", ".#.", "#..", "..."}},
    {'?', {"###.", "...#", ".##.", "....", ".#..", "...."}},
    {'@', {".##.", "#..#", "#.##", "#...", ".###", "...."}},
    {'A', {".##.", "#..#", "####", "#..#", "#..#", "...."}},
    {'B', {"###.", "#.#.", "###.", "#..#", "###.", "...."}},
    {'C', {".###", "#...", "#...", "#...", ".###", "...."}},
    {'D', {"###.", "#..#", "#..#", "#..#", "###.", "...."}},
    {'E', {"####", "#...", "###.", "#...", "####", "...."}},
    {'F', {"####", "#...", "###.", "#...", "#...", "...."}},
    {'G', {".###", "#...", "#.##", "#..#", ".###", "...."}},
    {'H', {"#..#", "#..#", "####", "#..#", "#..#", "...."}},
    {'I', {"###", ".#.", ".#.", ".#.", "###", "..."}},
    {'J', {"..##", "...#", "...#", "#..#", ".##.", "...."}},
    {'K', {"#..#", "#.#.", "##..", "#.#.", "#..#", "...."}},
    {'L', {"#...", "#...", "#...", "#...", "####", "...."}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#", "....."}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#", "...."}},
    {'O', {".###.", "#...#", "#...#", "#...#", ".###.", "....."}},
    {'P', {"###.", "#..#", "#..#", "###.", "#...", "...."}},
    {'Q', {".##.", "#..#", "#..#", "#.#.", ".#.#", "...."}},
    {'R', {"###.", "#..#", "###.", "#.#.", "#..#", "...."}},
    {'S', {".###", "#...", ".##.", "...#", "###.", "...."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "....."}},
    {'U', {"#..#", "#..#", "#..#", "#..#", ".##.", "...."}},
    {'V', {"#...#", "#...#", ".#.#.", ".#.#.", "..#..", "....."}},
    {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#", "....."}},
    {'X', {"#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."}},
    {'Y', {"#...#", ".#.#.", "..#..", "..#..", "..#..", "....."}},
    {'Z', {"####", "...#", ".##.", "#...", "####", "...."}},
    {'\\', {"#...", ".#..", ".#..", "..#.", "...#", "...."}},
    {'^', {".#.", "#.#", "...", "...", "...", "..."}},
    {'_', {"....", "....", "....", "....", "####", "...."}},
    {'`', {"#.", ".#", "..", "..", "..", ".."}},
    {'a', {"....", ".###", "#..#", "#..#", ".###", "...."}},
    {'b', {"#...", "###.", "#..#", "#..#", "###.", "...."}},
    {'c', {"...", ".##", "#..", "#..", ".##", "..."}},
    {'d', {"...#", ".###", "#..#", "#..#", ".###", "...."}},
    {'e', {"....", ".##.", "####", "#...", ".###", "...."}},
    {'f', {"..##", ".#..", "###.", ".#..", ".#..", "...."}},
    {'g', {"....", ".###", "#..#", "#..#", ".###", "###."}},
    {'h', {"#...", "###.", "#..#", "#..#", "#..#", "...."}},
    {'i', {"#", ".", "#", "#", "#", "."}},
    {'j', {"..#", "...", "..#", "..#", "..#", "##."}},
    {'k', {"#...", "#..#", "#.#.", "###.", "#..#", "...."}},
    {'l', {"##.", ".#.", ".#.", ".#.", ".##", "..."}},
    {'m', {".....", "####.", "#.#.#", "#.#.#", "#.#.#", "....."}},
    {'n', {"....", "###.", "#..#", "#..#", "#..#", "...."}},
    {'o', {"....", ".##.", "#..#", "#..#", ".##.", "...."}},
    {'p', {"....", "###.", "#..#", "#..#", "###.", "#..."}},
    {'q', {"....", ".###", "#..#", "#..#", ".###", "...#"}},
    {'r', {"....", "#.##", "##..", "#...", "#...", "...."}},
    {'s', {"....", ".###", "##..", "..##", "###.", "...."}},
    {'t', {".#.", "###", ".#.", ".#.", ".##", "..."}},
    {'u', {"....", "#..#", "#..#", "#..#", ".###", "...."}},
    {'v', {".....", "#...#", "#...#", ".#.#.", "..#..", "....."}},
    {'w', {".....", "#...#", "#.#.#", "#.#.#", ".#.#.", "....."}},
    {'x', {"....", "#..#", ".##.", ".##.", "#..#", "...."}},
    {'y', {".....", "#...#", ".#.#.", "..#..", ".#...", "#...."}},
    {'z', {"....", "####", "..#.", ".#..", "####", "...."}},
    {'{', {".##", ".#.", "#..", ".#.", ".##", "..."}},
    {'|', {"#", "#", "#", "#", "#", "."}},
    {'}', {"##.", ".#.", "..#", ".#.", "##.", "..."}},
    {'~', {"....", ".#.#", "#.#.", "....", "....", "...."}},
};

// The big font, 7 rows and 5 squares wide: capitals, digits and a few signs. The zero is a square
// narrower than O (a slashed one reads as 8).
constexpr Glyph BigGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {',', {".....", ".....", ".....", ".....", ".....", "..#..", ".#..."}},
};

struct SheetLayout {
    const char*  File;             // under fonts/
    int          Columns, Rows;    // cells
    int          Width, Height;    // pixels
    int          GridColumns;      // design squares across a cell, the last one the gap to the next
    int          GridRows;         // design squares down the shown part of a cell
    const Glyph* Glyphs;
    size_t       GlyphCount;
};

// Powers of two in both directions: the texture loader rescales any other size, which would blur
// the squares' edges. The cells therefore do not start on whole pixels; every square is rounded to
// whole pixels on its own.
constexpr SheetLayout Sheets[] = {
    {"font.jpg", 14, 7, 1024, 512, 6, 6, SmallGlyphs, sizeof SmallGlyphs / sizeof SmallGlyphs[0]},
    {"big.jpg", 6, 7, 512, 512, 6, 7, BigGlyphs, sizeof BigGlyphs / sizeof BigGlyphs[0]},
};

// Every design of a sheet has a row for each square down the cell, all rows of one width: a
// missing or ragged row would be read past its end. The tables are checked as they are compiled.
constexpr bool DesignsComplete(const SheetLayout& L) {
    for (size_t I = 0; I < L.GlyphCount; ++I) {
        const Glyph& G = L.Glyphs[I];
        if (!G.Rows[0])
            return false;
        const size_t Wide = std::char_traits<char>::length(G.Rows[0]);
        for (int Y = 0; Y < L.GridRows; ++Y)
            if (!G.Rows[Y] || std::char_traits<char>::length(G.Rows[Y]) != Wide)
                return false;
    }
    return true;
}
static_assert(DesignsComplete(Sheets[0]) && DesignsComplete(Sheets[1]));

constexpr double ShownPart = 0.95;   // of every cell's height; the game hides the lowest twentieth

const Glyph* FindGlyph(const SheetLayout& L, char C) {
    for (size_t I = 0; I < L.GlyphCount; ++I)
        if (L.Glyphs[I].Char == C)
            return &L.Glyphs[I];
    return nullptr;
}

int Edge(double Pixels) { return static_cast<int>(std::lround(Pixels)); }

// Fills one design square of the cell at (CellX, CellY), square (GX, GY) counted from the top-left.
void FillSquare(clsImage& Sheet, const SheetLayout& L, int CellX, int CellY, int GX, int GY) {
    const double CellW = double(L.Width) / L.Columns, CellH = double(L.Height) / L.Rows;
    const double SquareW = CellW / L.GridColumns, SquareH = CellH * ShownPart / L.GridRows;
    const int    Left = Edge(CellX * CellW + GX * SquareW), Right = Edge(CellX * CellW + (GX + 1) * SquareW);
    const int    Top = Edge(CellY * CellH + GY * SquareH), Bottom = Edge(CellY * CellH + (GY + 1) * SquareH);
    for (int Y = Top; Y < Bottom; ++Y)
        for (int X = Left; X < Right; ++X)
            Sheet.Set(X, Y, Colour{1, 1, 1});
}

// Draws one character, centred across the cell's squares; false when the character has no design.
bool DrawCell(clsImage& Sheet, const SheetLayout& L, char C, int CellX, int CellY) {
    if (C == ' ')
        return true;
    const Glyph* G = FindGlyph(L, C);
    if (!G) {
        std::fprintf(stderr, "assetgen: no glyph for '%c' in %s\n", C, L.File);
        return false;
    }
    const int Wide = static_cast<int>(std::strlen(G->Rows[0]));
    const int Offset = (L.GridColumns - Wide) / 2;
    for (int Y = 0; Y < L.GridRows; ++Y)
        for (int X = 0; X < Wide; ++X)
            if (G->Rows[Y][X] == '#')
                FillSquare(Sheet, L, CellX, CellY, Offset + X, Y);
    return true;
}

bool WriteSheet(const std::string& Root, const SheetLayout& L, const std::string& Set) {
    clsImage Sheet(L.Width, L.Height);
    bool     Ok = true;
    for (size_t I = 0; I < Set.size(); ++I)
        Ok = DrawCell(Sheet, L, Set[I], static_cast<int>(I % L.Columns), static_cast<int>(I / L.Columns)) && Ok;
    // The highest quality keeps the coder's ringing around the squares' hard edges faint.
    return WriteJpeg(Root + "/fonts/" + L.File, Sheet, 100) && Ok;
}

} // namespace

bool WriteFonts(const std::string& Root) {
    bool Ok = WriteSheet(Root, Sheets[0], SmallFontCharSet());
    return WriteSheet(Root, Sheets[1], BigFontCharSet) && Ok;
}
