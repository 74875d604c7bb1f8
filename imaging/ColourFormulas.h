#pragma once

// The per-pixel formulas of the colour conversions, in doubles, in the order the
// results are defined in; the kernels and tables must give the same bytes.

namespace varnolux {

/// The double nearest 255/360: hue degrees to the 0..255 scale.
inline constexpr double DegreesToHue = 0.7083333333333334;

/// The three results of one pixel's conversion, before clamping and truncation.
struct TTriple {
    double First;
    double Second;
    double Third;
};

TTriple Xyz(double r, double g, double b);
TTriple Luv(double r, double g, double b);
TTriple Lab(double r, double g, double b);
TTriple LinearMap(double r, double g, double b);
TTriple Inversion(double r, double g, double b);

} // namespace varnolux
