// Image: an RGB picture in floats (0..1, row 0 at the top) and its JPEG writer.
#pragma once
#include <string>
#include <vector>

struct Colour {
    double R, G, B;
};

Colour operator+(Colour A, Colour B);
Colour operator*(Colour A, double S);
Colour MixColour(Colour A, Colour B, double T);

class clsImage {
  public:
    clsImage(int Width, int Height);
    int    Width() const { return W; }
    int    Height() const { return H; }
    Colour Get(int X, int Y) const;            // X and Y wrap around the edges
    void   Set(int X, int Y, Colour C);        // ignored outside the image
    void   Add(int X, int Y, Colour C);        // ignored outside the image
    void   Fill(Colour C);

  private:
    int W, H;
    std::vector<Colour> Pixels;
};

// Writes the image as a baseline JPEG without chroma subsampling. Returns false when the file
// cannot be written (the reason is printed on stderr).
bool WriteJpeg(const std::string& Path, const clsImage& Image, int Quality = 90);
