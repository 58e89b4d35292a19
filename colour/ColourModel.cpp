// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bh {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

LinearRgb multiply(const Matrix& m, const LinearRgb& v)
{
    LinearRgb out{};
    for (std::size_t row = 0; row < 3; ++row) {
        out[row] = m[row][0] * v[0] + m[row][1] * v[1] + m[row][2] * v[2];
    }
    return out;
}

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// IEC 61966-2-1 (sRGB): the primaries' matrix to XYZ and the D65 white, to four decimals as the
// standard gives them, so that white comes out as L* 100 with a* and b* 0.
constexpr Matrix kSRGBToXyz = {{
    {0.4124, 0.3576, 0.1805},
    {0.2126, 0.7152, 0.0722},
    {0.0193, 0.1192, 0.9505},
}};
constexpr Xyz kD65 = {0.9505, 1.0, 1.0890};

// Machado, Oliveira and Fernandes, "A Physiologically-based Model for Simulation of Color
// Vision Deficiency", IEEE TVCG 15(6), 2009: their matrices for severity 1.0, in linear RGB.
constexpr std::array<Matrix, 3> kMachado = {{
    {{{0.152286, 1.052583, -0.204868},
      {0.114503, 0.786281, 0.099216},
      {-0.003882, -0.048116, 1.051998}}},
    {{{0.367322, 0.860646, -0.227968},
      {0.280085, 0.672501, 0.047413},
      {-0.011820, 0.042940, 0.968881}}},
    {{{1.255528, -0.076749, -0.178779},
      {-0.078411, 0.930809, 0.147602},
      {0.004733, 0.691367, 0.303900}}},
}};

// CIE 15: the cube root, with the straight line near black that keeps its slope finite.
double labF(double t)
{
    constexpr double delta = 6.0 / 29.0;
    return t > delta * delta * delta ? std::cbrt(t) : t / (3 * delta * delta) + 4.0 / 29.0;
}

// The hue angle in degrees, 0..360, and 0 for a neutral colour, whose hue is undefined.
double hueAngle(double b, double aPrime)
{
    if (b == 0 && aPrime == 0) {
        return 0;
    }
    const double h = degrees(std::atan2(b, aPrime));
    return h < 0 ? h + 360 : h;
}

} // namespace

// IEC 61966-2-1. WCAG 2 writes the threshold as 0.03928, which decides no 8-bit value otherwise.
double sRGBToLinear(double component)
{
    return component <= 0.04045 ? component / 12.92 : std::pow((component + 0.055) / 1.055, 2.4);
}

double linearToSRGB(double component)
{
    return component <= 0.0031308 ? component * 12.92
                                  : 1.055 * std::pow(component, 1 / 2.4) - 0.055;
}

LinearRgb sRGBToLinear(const Colour& colour)
{
    LinearRgb out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = sRGBToLinear(colour[i] / 255.0);
    }
    return out;
}

Colour linearToSRGB(const LinearRgb& linear)
{
    Colour out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double encoded = linearToSRGB(std::clamp(linear[i], 0.0, 1.0));
        out[i] = static_cast<std::uint8_t>(std::lround(encoded * 255));
    }
    return out;
}

// W3C, Web Content Accessibility Guidelines 2: relative luminance and contrast ratio.
double relativeLuminance(const Colour& colour)
{
    const LinearRgb linear = sRGBToLinear(colour);
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
}

double contrastRatio(const Colour& first, const Colour& second)
{
    const double one = relativeLuminance(first);
    const double other = relativeLuminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

Xyz linearRgbToXyz(const LinearRgb& linear)
{
    const LinearRgb xyz = multiply(kSRGBToXyz, linear);
    return {xyz[0], xyz[1], xyz[2]};
}

Lab xyzToLab(const Xyz& xyz)
{
    const double fx = labF(xyz.X / kD65.X);
    const double fy = labF(xyz.Y / kD65.Y);
    const double fz = labF(xyz.Z / kD65.Z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Lab sRGBToLab(const Colour& colour)
{
    return xyzToLab(linearRgbToXyz(sRGBToLinear(colour)));
}

// Sharma, Wu and Dalal, "The CIEDE2000 Color-Difference Formula: Implementation Notes,
// Supplementary Test Data, and Mathematical Observations", Color Res. Appl. 30(1), 2005.
// Their equations and names, in their order.
double CIEDE2000(const Lab& first, const Lab& second)
{
    const double C1 = std::hypot(first.a, first.b);
    const double C2 = std::hypot(second.a, second.b);
    const double CBar7 = std::pow((C1 + C2) / 2, 7);
    constexpr double k25To7 = 6103515625.0; // 25^7
    const double G = 0.5 * (1 - std::sqrt(CBar7 / (CBar7 + k25To7)));
    const double a1Prime = (1 + G) * first.a;
    const double a2Prime = (1 + G) * second.a;
    const double C1Prime = std::hypot(a1Prime, first.b);
    const double C2Prime = std::hypot(a2Prime, second.b);
    const double h1Prime = hueAngle(first.b, a1Prime);
    const double h2Prime = hueAngle(second.b, a2Prime);

    // Two hues exactly opposite lie on the boundary between the paper's cases. Its equations put
    // |h1' - h2'| = 180 degrees in the "<= 180" case (mean hue (h1' + h2') / 2), and its test
    // pairs 10 and 14, which sit there, are worked out that way. Worked in doubles, their gap comes
    // out at 180 or a rounding error below it with the maths libraries we build with; a rounding
    // error above would turn the mean hue half round, so the boundary is taken with a tolerance far
    // below any difference a colour could show.
    constexpr double kBoundaryTolerance = 1e-9;
    const bool neutral = C1Prime * C2Prime == 0;
    const double hueGap = std::abs(h1Prime - h2Prime);
    const bool withinHalfTurn = hueGap <= 180 + kBoundaryTolerance;

    const double deltaLPrime = second.L - first.L;
    const double deltaCPrime = C2Prime - C1Prime;
    double deltahPrime = 0;
    if (!neutral) {
        deltahPrime = h2Prime - h1Prime;
        if (!withinHalfTurn) {
            deltahPrime += deltahPrime > 0 ? -360 : 360;
        }
    }
    const double deltaHPrime =
        2 * std::sqrt(C1Prime * C2Prime) * std::sin(radians(deltahPrime / 2));

    const double LBarPrime = (first.L + second.L) / 2;
    const double CBarPrime = (C1Prime + C2Prime) / 2;
    double hBarPrime = h1Prime + h2Prime;
    if (!neutral) {
        if (withinHalfTurn) {
            hBarPrime /= 2;
        } else {
            hBarPrime = hBarPrime < 360 ? (hBarPrime + 360) / 2 : (hBarPrime - 360) / 2;
        }
    }

    const double T =
        1 - 0.17 * std::cos(radians(hBarPrime - 30)) + 0.24 * std::cos(radians(2 * hBarPrime)) +
        0.32 * std::cos(radians(3 * hBarPrime + 6)) - 0.20 * std::cos(radians(4 * hBarPrime - 63));
    const double deltaTheta = 30 * std::exp(-std::pow((hBarPrime - 275) / 25, 2));
    const double CBarPrime7 = std::pow(CBarPrime, 7);
    const double RC = 2 * std::sqrt(CBarPrime7 / (CBarPrime7 + k25To7));
    const double L50 = (LBarPrime - 50) * (LBarPrime - 50);
    const double SL = 1 + 0.015 * L50 / std::sqrt(20 + L50);
    const double SC = 1 + 0.045 * CBarPrime;
    const double SH = 1 + 0.015 * CBarPrime * T;
    const double RT = -std::sin(radians(2 * deltaTheta)) * RC;

    const double l = deltaLPrime / SL;
    const double c = deltaCPrime / SC;
    const double h = deltaHPrime / SH;
    return std::sqrt(l * l + c * c + h * h + RT * c * h);
}

LinearRgb simulateDichromacy(Dichromacy dichromacy, const LinearRgb& linear)
{
    LinearRgb out = multiply(kMachado.at(static_cast<std::size_t>(dichromacy)), linear);
    for (double& component : out) {
        component = std::clamp(component, 0.0, 1.0);
    }
    return out;
}

} // namespace bh
