// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// Small building blocks shared by the painters: a seeded random source, value noise and a
// per-pixel shading loop over logical (1x) coordinates, so that a picture painted at twice
// the size is the same scene with finer detail rather than an upscale.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace paint {

// splitmix64: the same numbers on every compiler and standard library, which the
// std distributions do not promise.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform(double lo, double hi);
    bool chance(double p) { return uniform(0.0, 1.0) < p; }

private:
    std::uint64_t state_;
};

struct Rgb {
    double r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, double k)
{
    return {a.r * k, a.g * k, a.b * k};
}
inline Rgb operator*(Rgb a, Rgb b)
{
    return {a.r * b.r / 255, a.g * b.g / 255, a.b * b.b / 255};
}
inline Rgb mix(Rgb a, Rgb b, double t)
{
    return a * (1 - t) + b * t;
}
inline double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}
inline double smooth(double e0, double e1, double v)
{
    const double t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgb fromQRgb(QRgb c);
QRgb toQRgb(Rgb c);
QColor toQColor(Rgb c, double alpha = 1.0);

// Value noise in [0, 1] on an integer lattice, smoothly interpolated.
double noise(double x, double y, std::uint32_t seed);
// Sum of octaves; octaves finer than `finest` (in lattice units) fade out instead of aliasing.
double fbm(double x, double y, int octaves, std::uint32_t seed, double finest = 0.0);

// Calls f(u, v, pixel) for every device pixel whose centre lies in `logical`, with u, v the
// pixel centre in 1x coordinates; f blends into the pixel it is given.
template <class F> void shade(QImage& img, int scale, const QRectF& logical, F&& f)
{
    const int x0 = std::max(0, int(std::floor(logical.left() * scale)));
    const int y0 = std::max(0, int(std::floor(logical.top() * scale)));
    const int x1 = std::min(img.width(), int(std::ceil(logical.right() * scale)));
    const int y1 = std::min(img.height(), int(std::ceil(logical.bottom() * scale)));
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const double v = (y + 0.5) / scale;
        for (int x = x0; x < x1; ++x) {
            Rgb px = fromQRgb(line[x]);
            f((x + 0.5) / scale, v, px);
            line[x] = toQRgb(px);
        }
    }
}

} // namespace paint
