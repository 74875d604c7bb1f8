// Draws the sample image: coloured objects (red, orange, green, blue) on a paper-like
// background, with a little noise and shading so that colour ranges matter.
//
// usage: varnolux-make-sample OUTPUT.png

#include <FreeImage.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

struct TColourF {
    double r, g, b;
};

/// A small fixed generator, so the picture is the same on every machine.
class TNoise {
public:
    double Next() // in [-1, 1)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state_ >> 11) / double(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x5eed5eedULL;
};

struct TCanvas {
    std::vector<TColourF> pixels = std::vector<TColourF>(size_t(Width) * Height);
    TColourF& At(int x, int y) { return pixels[size_t(y) * Width + size_t(x)]; }

    /// Paints every pixel for which inside(x, y) holds, shaded towards the lower right.
    void Paint(const std::function<bool(double, double)>& inside, TColourF colour, double cx,
               double cy, double size)
    {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (inside(x, y)) {
                    const double shade = 1.0 - 0.18 * ((x - cx) + (y - cy)) / std::max(size, 1.0);
                    At(x, y) = {colour.r * shade, colour.g * shade, colour.b * shade};
                }
    }
};

void Disc(TCanvas& canvas, double cx, double cy, double radius, TColourF colour)
{
    canvas.Paint([=](double x, double y) { return std::hypot(x - cx, y - cy) <= radius; }, colour,
                 cx, cy, radius);
}

void Ellipse(TCanvas& canvas, double cx, double cy, double rx, double ry, double angle,
             TColourF colour)
{
    const double c = std::cos(angle), s = std::sin(angle);
    canvas.Paint(
        [=](double x, double y) {
            const double u = ((x - cx) * c + (y - cy) * s) / rx;
            const double v = (-(x - cx) * s + (y - cy) * c) / ry;
            return u * u + v * v <= 1.0;
        },
        colour, cx, cy, std::max(rx, ry));
}

void Ring(TCanvas& canvas, double cx, double cy, double inner, double outer, TColourF colour)
{
    canvas.Paint(
        [=](double x, double y) {
            const double d = std::hypot(x - cx, y - cy);
            return d >= inner && d <= outer;
        },
        colour, cx, cy, outer);
}

void Square(TCanvas& canvas, double left, double top, double size, TColourF colour)
{
    canvas.Paint(
        [=](double x, double y) {
            return x >= left && x < left + size && y >= top && y < top + size;
        },
        colour, left + size / 2, top + size / 2, size / 2);
}

void DrawScene(TCanvas& canvas)
{
    // Paper: warm light grey with a soft gradient.
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const double light = 0.92 - 0.10 * y / Height - 0.05 * x / Width;
            canvas.At(x, y) = {235 * light, 228 * light, 210 * light};
        }

    const TColourF red{200, 30, 35}, darkRed{150, 20, 40}, orange{230, 120, 30};
    const TColourF green{40, 150, 60}, blue{40, 70, 190}, yellow{225, 200, 40};
    Disc(canvas, 110, 120, 48, red);
    Disc(canvas, 300, 90, 30, red);
    Ellipse(canvas, 470, 150, 70, 32, 0.5, darkRed);
    Ring(canvas, 180, 330, 35, 55, red);
    Disc(canvas, 180, 330, 18, red);
    Disc(canvas, 520, 360, 40, orange);
    Ellipse(canvas, 330, 250, 55, 25, -0.7, green);
    Ellipse(canvas, 400, 400, 40, 18, 0.3, green);
    Square(canvas, 40, 390, 60, blue);
    Square(canvas, 580, 40, 35, blue);
    Disc(canvas, 600, 250, 22, yellow);
    // Specks below the minimum object size.
    for (const auto& [x, y] : {std::pair{250, 420}, {420, 40}, {80, 260}, {560, 450}, {350, 350}})
        Disc(canvas, x, y, 1.5, red);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnolux-make-sample OUTPUT.png\n");
        return 2;
    }
    TCanvas canvas;
    DrawScene(canvas);

    TNoise noise;
    FIBITMAP* bitmap = FreeImage_Allocate(Width, Height, 24);
    for (int y = 0; y < Height; ++y) {
        // FreeImage's rows run from the bottom.
        BYTE* row = FreeImage_GetScanLine(bitmap, Height - 1 - y);
        for (int x = 0; x < Width; ++x) {
            const TColourF c = canvas.At(x, y);
            const auto channel = [&](double value) {
                return BYTE(std::clamp(value + 6 * noise.Next(), 0.0, 255.0));
            };
            row[x * 3 + FI_RGBA_RED] = channel(c.r);
            row[x * 3 + FI_RGBA_GREEN] = channel(c.g);
            row[x * 3 + FI_RGBA_BLUE] = channel(c.b);
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, argv[1], PNG_Z_BEST_COMPRESSION);
    FreeImage_Unload(bitmap);
    if (!saved) {
        std::fprintf(stderr, "varnolux-make-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
