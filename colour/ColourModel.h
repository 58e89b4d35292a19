// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <array>

// How a message colour looks on the panel and to each player: pure functions named as the
// standards and papers they come from name them. Every function takes any value and never
// fails; components outside their range are clamped where the result must be a colour.
namespace bh {

// Red, green, blue as fractions 0..1, linear in light (not gamma-encoded).
using LinearRgb = std::array<double, 3>;

// CIE 1931 tristimulus values, Y of the white 1.
struct Xyz {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// CIE 1976 L*a*b*.
struct Lab {
    double L = 0;
    double a = 0;
    double b = 0;
};

// One sRGB component, 0..1, to linear light and back.
double sRGBToLinear(double component);
double linearToSRGB(double component);

// An 8-bit sRGB colour to linear RGB, and back rounded to 8 bits after clamping to 0..1.
LinearRgb sRGBToLinear(const Colour& colour);
Colour linearToSRGB(const LinearRgb& linear);

// WCAG 2: the relative luminance of a colour, 0 (black) to 1 (white), and the contrast ratio
// of two colours in either order, 1 to 21.
double relativeLuminance(const Colour& colour);
double contrastRatio(const Colour& first, const Colour& second);

// Linear RGB to CIE XYZ (sRGB primaries, D65 white), XYZ to CIELAB relative to D65, and the
// two steps from an 8-bit sRGB colour.
Xyz linearRgbToXyz(const LinearRgb& linear);
Lab xyzToLab(const Xyz& xyz);
Lab sRGBToLab(const Colour& colour);

// CIEDE2000 colour difference with kL = kC = kH = 1; symmetric.
double CIEDE2000(const Lab& first, const Lab& second);

// The three dichromacies that colour-vision simulation covers.
enum class Dichromacy : int { Protanopia, Deuteranopia, Tritanopia };

// Machado, Oliveira and Fernandes: the linear RGB a dichromat at full severity perceives for
// linear, each component clamped to 0..1.
LinearRgb simulateDichromacy(Dichromacy dichromacy, const LinearRgb& linear);

} // namespace bh
