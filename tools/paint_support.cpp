// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "paint_support.h"

namespace paint {

std::uint64_t Rng::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform(double lo, double hi)
{
    return lo + (hi - lo) * double(next() >> 11) * 0x1.0p-53;
}

Rgb fromQRgb(QRgb c)
{
    return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
}

QRgb toQRgb(Rgb c)
{
    auto q = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    return qRgb(q(c.r), q(c.g), q(c.b));
}

QColor toQColor(Rgb c, double alpha)
{
    const QRgb q = toQRgb(c);
    return QColor(qRed(q), qGreen(q), qBlue(q), int(std::lround(clamp01(alpha) * 255)));
}

static double lattice(int x, int y, std::uint32_t seed)
{
    std::uint32_t h =
        std::uint32_t(x) * 0x8DA6B343u ^ std::uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return double(h & 0xFFFFFFu) / double(0xFFFFFF);
}

double noise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = x - fx, ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const double c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

double fbm(double x, double y, int octaves, std::uint32_t seed, double finest)
{
    double sum = 0, amp = 0.5, freq = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        // A lattice cell smaller than about two pixels would only add shimmer: fade it to grey.
        const double keep = finest > 0 ? clamp01((1.0 / freq) / finest - 1.0) : 1.0;
        sum += amp * (0.5 + (noise(x * freq, y * freq, seed + i * 101u) - 0.5) * keep);
        norm += amp;
        amp *= 0.5;
        freq *= 2.0;
    }
    return sum / norm;
}

} // namespace paint
