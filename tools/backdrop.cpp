// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "backdrop.h"

#include "paint_support.h"
#include "pixel_font.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <vector>

namespace paint {

namespace {

// The camera: eye height in metres, horizon row and focal length in 1x pixels.
constexpr double eyeHeight = 1.7;
constexpr double horizon = 182;
constexpr double centreX = 316;
constexpr double focal = 430;
constexpr double viewBottom = panelTop + 6; // the panel's frame hides the rest of the view

const Rgb fogColour{176, 188, 168};
// Light comes from high up on the left and a little from behind the viewer, so trunks
// and crowns show a lit and a shaded side.
constexpr double lightX = -0.55, lightY = -0.62, lightZ = 0.56;

double fogAmount(double z)
{
    return 1.0 - std::exp(-z / 58.0);
}
double pixelsPerMetre(double z)
{
    return focal / z;
}
double groundRow(double z)
{
    return horizon + eyeHeight * focal / z;
}
double screenX(double wx, double z)
{
    return centreX + wx * focal / z;
}

// The trail winds away from the viewer; the NPCs walk on it.
double trailX(double z)
{
    return 0.25 + 1.1 * std::sin(z * 0.085 + 0.4) - 0.018 * z;
}

void paintSky(QImage& img, int s)
{
    shade(img, s, QRectF(0, 0, backdropWidth, horizon + 2), [](double u, double v, Rgb& px) {
        const double t = std::pow(clamp01(v / horizon), 0.8);
        Rgb c = mix(Rgb{92, 136, 184}, Rgb{214, 220, 198}, t);
        const double clouds = smooth(0.45, 0.8, fbm(u / 140.0, v / 38.0, 5, 11));
        c = mix(c, Rgb{236, 234, 222}, clouds * 0.65 * (1 - t * 0.5));
        const double d = std::hypot(u - 296, (v - 64) * 1.2);
        c = c + Rgb{255, 236, 190} * (0.75 * std::exp(-d / 34.0) + 0.25 * std::exp(-d / 150.0));
        px = c;
    });
}

// Silhouettes of the wood far away, each band paler with the haze.
void paintDistantWood(QImage& img, int s)
{
    const double bands[][3] = {{140, 30, 21}, {90, 40, 22}, {60, 52, 23}};
    for (const auto& band : bands) {
        const double z = band[0], height = band[1];
        const auto seed = std::uint32_t(band[2]);
        const Rgb colour = mix(Rgb{38, 52, 34}, fogColour, fogAmount(z) * 0.92);
        shade(img, s, QRectF(0, horizon - height * 1.6, backdropWidth, height * 1.6 + 4),
              [&](double u, double v, Rgb& px) {
                  const double crowns = fbm(u / 26.0, 0.5, 4, seed);
                  const double top = horizon - height * (0.45 + 0.9 * crowns) -
                                     height * 0.25 * std::pow(noise(u / 6.0, 3.5, seed + 7), 3);
                  if (v < top) {
                      return;
                  }
                  const double cover = clamp01((v - top) * s);
                  const double tex = fbm(u / 5.0, v / 5.0, 3, seed + 3);
                  const double lit = 0.85 + 0.3 * tex - 0.15 * clamp01((v - top) / height);
                  px = mix(px, colour * lit, cover);
              });
    }
}

void paintGround(QImage& img, int s)
{
    shade(img, s, QRectF(0, horizon, backdropWidth, viewBottom - horizon),
          [s](double u, double v, Rgb& px) {
              const double z = eyeHeight * focal / std::max(v - horizon, 0.35);
              const double wx = (u - centreX) * z / focal;
              const double footprint = z / focal / s; // metres per device pixel
              const double moss = fbm(wx * 0.9, z * 0.9, 6, 31, footprint * 0.9);
              const double litter = fbm(wx * 6, z * 6, 4, 37, footprint * 6);
              Rgb ground = mix(Rgb{46, 64, 28}, Rgb{92, 104, 44}, moss);
              ground = mix(ground, Rgb{98, 76, 48}, smooth(0.55, 0.8, litter) * 0.6);
              // The trail: packed earth with a ragged edge and a worn middle.
              const double off = std::abs(wx - trailX(z));
              const double edge = 0.75 + 0.35 * fbm(wx * 2.2, z * 2.2, 3, 41, footprint * 2);
              const double onTrail = 1 - smooth(edge - 0.15, edge + 0.1, off);
              const double grit = fbm(wx * 9, z * 9, 3, 43, footprint * 9);
              const Rgb earth = mix(Rgb{104, 84, 58}, Rgb{150, 128, 92}, grit) *
                                (1.0 - 0.25 * smooth(0.2, 0.0, off));
              ground = mix(ground, earth, onTrail);
              // Sunlight breaks through the crowns in patches.
              const double dapple = smooth(0.52, 0.68, fbm(wx * 0.35 + 9, z * 0.35, 4, 47));
              ground = ground * (0.62 + 0.6 * dapple) + Rgb{40, 32, 8} * dapple;
              px = mix(ground, fogColour, fogAmount(z));
          });
}

struct Tree {
    double wx, z, radius, crownBase, crownRadius;
    std::uint32_t seed;
    Rgb leaf;
};

void paintTrunk(QImage& img, int s, const Tree& t, double topRow)
{
    const double ppm = pixelsPerMetre(t.z);
    const double cx = screenX(t.wx, t.z), base = groundRow(t.z);
    const double rpx = t.radius * ppm;
    const double fog = fogAmount(t.z);
    shade(img, s, QRectF(cx - rpx * 1.9, topRow, rpx * 3.8, base - topRow + rpx * 0.3),
          [&](double u, double v, Rgb& px) {
              const double aboveGround = (base - v) / ppm; // metres
              // The root flare widens the trunk where it meets the ground.
              const double taper = 1 + 0.05 * (v - topRow) / std::max(base - topRow, 1.0);
              const double r =
                  rpx * taper * (1 + 0.8 * std::exp(-std::max(aboveGround, 0.0) / 0.45));
              const double bottom = base + rpx * 0.25 * (1 - std::pow((u - cx) / r, 2));
              const double cover = clamp01((r - std::abs(u - cx)) * s) * clamp01((bottom - v) * s);
              if (cover <= 0) {
                  return;
              }
              const double nx = std::clamp((u - cx) / r, -1.0, 1.0);
              const double nz = std::sqrt(1 - nx * nx);
              const double lam = std::max(0.0, nx * lightX + nz * lightZ);
              const double a = std::asin(nx) * t.radius; // metres around the trunk
              const double h = aboveGround;
              const double ridges = std::abs(
                  2 * noise(a * 9 + 3 * noise(h * 0.8, a, t.seed), h * 1.1, t.seed + 1) - 1);
              const double bark = 0.55 + 0.45 * smooth(0.05, 0.5, ridges);
              const double grain = fbm(a * 14, h * 5, 3, t.seed + 2, 1.0 / (ppm * s) * 14);
              Rgb c = mix(Rgb{64, 56, 46}, Rgb{104, 96, 84}, grain) * bark;
              // Moss grows on the shaded, lower side.
              const double moss = smooth(0.2, 0.9, -nx + 0.3) * smooth(2.5, 0.3, h) *
                                  smooth(0.4, 0.7, fbm(a * 5, h * 3, 3, t.seed + 5));
              c = mix(c, Rgb{70, 96, 40}, moss * 0.8);
              c = c * (0.38 + 1.0 * lam);
              c = mix(c, fogColour, fog);
              px = mix(px, c, cover);
          });
}

void paintCrown(QImage& img, int s, const Tree& t)
{
    const double ppm = pixelsPerMetre(t.z);
    const double fog = fogAmount(t.z);
    Rng rng(t.seed);
    const int blobs = 7 + int(rng.uniform(0, 5));
    const double centreY = groundRow(t.z) - (t.crownBase + t.crownRadius) * ppm;
    for (int i = 0; i < blobs; ++i) {
        const double ang = rng.uniform(0, 6.2832);
        const double dist = rng.uniform(0.2, 1.0) * t.crownRadius * (i == 0 ? 0 : 1);
        const double R = t.crownRadius * rng.uniform(0.45, 0.7) * ppm;
        const double bx = screenX(t.wx, t.z) + std::cos(ang) * dist * ppm * 1.3;
        const double by = centreY + std::sin(ang) * dist * ppm * 0.7;
        const std::uint32_t seed = t.seed * 31 + std::uint32_t(i);
        const double leafScale = 3.2 / ppm; // leaf clusters about 30 cm across
        shade(img, s, QRectF(bx - R * 1.2, by - R * 1.2, R * 2.4, R * 2.4),
              [&](double u, double v, Rgb& px) {
                  const double dx = (u - bx) / R, dy = (v - by) / R;
                  const double d = std::hypot(dx, dy);
                  if (d > 1.2) {
                      return;
                  }
                  const double clusters = fbm(u * leafScale, v * leafScale, 4, seed, leafScale / s);
                  const double edge = 0.78 + 0.4 * clusters;
                  const double cover = clamp01((edge - d) * R * s * 0.5);
                  if (cover <= 0) {
                      return;
                  }
                  const double nz =
                      std::sqrt(std::max(0.0, 1 - std::min(d, 1.0) * std::min(d, 1.0)));
                  const double lam = std::max(0.0, dx * lightX + dy * lightY + nz * lightZ);
                  const double detail = fbm(u * leafScale * 2.5, v * leafScale * 2.5, 3, seed + 9,
                                            leafScale * 2.5 / s);
                  const double leafy = smooth(0.28, 0.72, 0.55 * clusters + 0.45 * detail);
                  Rgb c = t.leaf * (0.3 + 1.05 * lam) * (0.4 + 0.95 * leafy);
                  c = c + Rgb{60, 50, 10} * smooth(0.75, 0.95, lam) * clusters;
                  c = mix(c, fogColour, fog);
                  px = mix(px, c, cover);
              });
    }
}

std::vector<Tree> makeTrees()
{
    std::vector<Tree> trees;
    Rng rng(20240611);
    const Rgb leaves[] = {{58, 88, 34}, {44, 72, 32}, {78, 100, 38}, {52, 80, 44}};
    for (int i = 0; i < 70; ++i) {
        const double z = 7 + 90 * std::pow(rng.uniform(0, 1), 1.4);
        double wx = rng.uniform(-0.95, 0.95) * z;
        if (std::abs(wx - trailX(z)) < 2.6) {
            wx += wx < trailX(z) ? -3.0 : 3.0;
        }
        const double r = rng.uniform(0.16, 0.36);
        trees.push_back({wx, z, r, rng.uniform(4.5, 8.0), rng.uniform(2.6, 4.2),
                         std::uint32_t(rng.next() & 0xFFFF) + 100u, leaves[rng.next() % 4]});
    }
    // The two old trees nearest the viewer frame the view.
    trees.push_back({-3.4, 4.2, 0.55, 4.6, 3.6, 901, {40, 66, 30}});
    trees.push_back({3.1, 4.8, 0.42, 5.2, 3.2, 902, {46, 72, 32}});
    return trees;
}

// A bracken frond: an arching stem with paired leaflets that shrink toward the tip.
void paintFrond(QPainter& p, QPointF base, double length, double angle, Rgb colour, double fog,
                Rng& rng)
{
    const QPointF dir(std::sin(angle), -std::cos(angle));
    const QPointF tip = base + dir * length * 0.85 + QPointF(0, length * 0.3);
    const QPointF ctrl = base + dir * length * 0.75 + QPointF(0, -length * 0.1);
    auto at = [&](double t) {
        return base * (1 - t) * (1 - t) + ctrl * 2 * t * (1 - t) + tip * t * t;
    };
    auto tangent = [&](double t) {
        const QPointF d = (ctrl - base) * 2 * (1 - t) + (tip - ctrl) * 2 * t;
        return d / std::max(1e-6, std::hypot(d.x(), d.y()));
    };
    const Rgb lit = mix(colour * 1.15, fogColour, fog);
    const Rgb dark = mix(colour * 0.5, fogColour, fog);
    QPainterPath stem;
    stem.moveTo(base);
    stem.quadTo(ctrl, tip);
    p.setPen(QPen(toQColor(mix(Rgb{110, 96, 50}, fogColour, fog)), std::max(0.5, length * 0.012)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    const int pairs = 9 + int(length / 18);
    for (int k = 1; k < pairs; ++k) {
        const double t = 0.18 + 0.82 * double(k) / pairs;
        const QPointF pos = at(t);
        const QPointF tan = tangent(t);
        const double len = length * 0.3 * std::pow(1 - t, 0.7) + length * 0.02;
        for (int side = -1; side <= 1; side += 2) {
            const QPointF normal(-tan.y() * side, tan.x() * side);
            const QPointF out = (normal * 0.8 + tan * 0.45 + QPointF(0, 0.25)) * len;
            const QPointF wide = QPointF(tan * len * 0.12);
            QPolygonF leaf;
            leaf << pos - wide << pos + out * 0.5 - wide * 1.2 << pos + out
                 << pos + out * 0.5 + wide * 1.2 << pos + wide;
            // The leaflets facing up catch the light; those facing down stay in shadow.
            const double shadeK = clamp01(0.5 - normal.y() * 0.6 + rng.uniform(-0.15, 0.15));
            p.setBrush(toQColor(mix(dark, lit, shadeK)));
            p.drawPolygon(leaf);
        }
    }
}

void paintBrackenClump(QImage& img, int s, double wx, double z, Rng& rng)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s, s);
    const double ppm = pixelsPerMetre(z);
    const QPointF root(screenX(wx, z), groundRow(z));
    const int fronds = 4 + int(rng.uniform(0, 5));
    const bool autumn = rng.chance(0.2);
    for (int i = 0; i < fronds; ++i) {
        const double len = rng.uniform(0.6, 1.1) * ppm;
        const double angle = rng.uniform(-1.25, 1.25);
        Rgb colour = mix(Rgb{84, 128, 38}, Rgb{120, 150, 44}, rng.uniform(0, 1));
        if (autumn && rng.chance(0.5)) {
            colour = Rgb{150, 104, 48};
        }
        const QPointF base =
            root + QPointF(rng.uniform(-0.3, 0.3) * ppm, rng.uniform(0, 0.1) * ppm);
        paintFrond(p, base, len, angle, colour, fogAmount(z), rng);
    }
}

// A traveller in a hooded cloak with a staff, standing on the trail.
void paintFigure(QImage& img, int s, double wx, double z, Rgb cloak, bool hooded)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s, s);
    const double h = 1.75 * pixelsPerMetre(z);
    const double fog = fogAmount(z);
    const QPointF foot(screenX(wx, z), groundRow(z));
    auto P = [&](double x, double y) { return foot + QPointF(x * h, -y * h); };
    auto C = [&](Rgb c, double a = 1.0) { return toQColor(mix(c, fogColour, fog), a); };

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 24, 10, 110));
    p.drawEllipse(P(0.05, 0.0), h * 0.28, h * 0.05); // shadow on the trail

    // Staff behind the right hand.
    p.setPen(QPen(C({86, 62, 36}), std::max(0.6, h * 0.025), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(P(0.27, -0.01), P(0.31, 1.12));
    p.setPen(Qt::NoPen);

    QPainterPath body;
    body.moveTo(P(0, hooded ? 1.0 : 0.86));
    body.cubicTo(P(0.13, 0.99), P(0.16, 0.9), P(0.17, 0.8));
    body.cubicTo(P(0.22, 0.55), P(0.24, 0.2), P(0.25, 0.03));
    body.lineTo(P(0.12, 0.0));
    body.lineTo(P(0.02, 0.03));
    body.lineTo(P(-0.1, 0.0));
    body.lineTo(P(-0.24, 0.02));
    body.cubicTo(P(-0.23, 0.2), P(-0.22, 0.55), P(-0.17, 0.8));
    body.cubicTo(P(-0.16, 0.9), P(-0.13, 0.99), P(0, hooded ? 1.0 : 0.86));
    QLinearGradient g(P(-0.25, 0.5), P(0.25, 0.5));
    g.setColorAt(0, C(cloak * 1.35));
    g.setColorAt(0.45, C(cloak));
    g.setColorAt(1, C(cloak * 0.45));
    p.setBrush(g);
    p.drawPath(body);

    // Folds of the cloak.
    p.setPen(QPen(C(cloak * 0.5, 0.8), std::max(0.4, h * 0.012)));
    p.drawLine(P(-0.06, 0.6), P(-0.09, 0.05));
    p.drawLine(P(0.07, 0.55), P(0.1, 0.04));
    p.setPen(Qt::NoPen);
    p.setBrush(C({72, 52, 30}));
    p.drawRect(QRectF(P(-0.17, 0.53), P(0.19, 0.5))); // belt
    p.setBrush(C({150, 120, 60}));
    p.drawRect(QRectF(P(-0.02, 0.535), P(0.03, 0.495))); // buckle

    if (hooded) {
        p.setBrush(C({24, 20, 16}));
        p.drawEllipse(QRectF(P(-0.065, 0.95), P(0.075, 0.82))); // face in the hood's shadow
        p.setBrush(C({150, 112, 86}));
        p.drawEllipse(QRectF(P(-0.035, 0.9), P(0.05, 0.83)));
    } else {
        p.setBrush(C({188, 142, 104}));
        p.drawEllipse(QRectF(P(-0.07, 1.0), P(0.07, 0.84)));
        p.setBrush(C({210, 176, 96}));
        p.drawChord(QRectF(P(-0.08, 1.01), P(0.08, 0.88)), 0, 180 * 16); // hair
    }
    p.setBrush(C({176, 134, 100}));
    p.drawEllipse(P(0.28, 0.6), h * 0.03, h * 0.03); // hand on the staff
}

// Shafts of light falling through the gap in the crowns, faded out before they reach the
// option boxes on the right so their captions stay calm.
void paintLightShafts(QImage& img, int s)
{
    shade(img, s, QRectF(120, 0, 300, viewBottom), [](double u, double v, Rgb& px) {
        const double ang = std::atan2(u - 296, v + 30);
        const double beams = std::pow(noise(ang * 14, 0.5, 61), 3.0);
        const double reach = std::exp(-std::hypot(u - 296, v + 30) / 260.0);
        const double away = smooth(395, 340, u) * smooth(125, 190, u);
        const double k = beams * reach * away * 0.45;
        px = mix(px, Rgb{255, 244, 206}, k);
    });
}

void paintVignette(QImage& img, int s)
{
    shade(img, s, QRectF(0, 0, backdropWidth, viewBottom), [](double u, double v, Rgb& px) {
        const double dx = (u - 316) / 380, dy = (v - 170) / 260;
        px = px * (1 - 0.35 * smooth(0.5, 1.2, dx * dx + dy * dy));
    });
}

} // namespace

QImage paintBackdrop(int scale)
{
    QImage img(backdropWidth * scale, backdropHeight * scale, QImage::Format_RGB32);
    img.fill(Qt::black);
    paintSky(img, scale);
    paintDistantWood(img, scale);
    paintGround(img, scale);

    // Everything standing on the ground is painted far to near, so nearer things cover.
    struct Item {
        double z;
        std::function<void()> paint;
    };
    std::vector<Item> items;
    for (const Tree& t : makeTrees()) {
        const double top = groundRow(t.z) - (t.crownBase + t.crownRadius) * pixelsPerMetre(t.z);
        items.push_back({t.z, [&img, scale, t, top] {
                             paintTrunk(img, scale, t, top);
                             paintCrown(img, scale, t);
                         }});
    }
    Rng bracken(7);
    for (int i = 0; i < 150; ++i) {
        const double z = 3.2 + 40 * std::pow(bracken.uniform(0, 1), 1.8);
        double wx = bracken.uniform(-0.85, 0.85) * z;
        if (std::abs(wx - trailX(z)) < 1.3) {
            wx += wx < trailX(z) ? -1.6 : 1.6;
        }
        const std::uint64_t seed = bracken.next();
        items.push_back({z, [&img, scale, wx, z, seed] {
                             Rng rng(seed);
                             paintBrackenClump(img, scale, wx, z, rng);
                         }});
    }
    items.push_back({14.0, [&img, scale] {
                         paintFigure(img, scale, trailX(14.0) + 0.2, 14.0, {66, 74, 48}, true);
                     }});
    items.push_back({22.0, [&img, scale] {
                         paintFigure(img, scale, trailX(22.0) - 0.4, 22.0, {128, 48, 36}, false);
                     }});
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.z > b.z; });
    for (const Item& item : items) {
        item.paint();
    }

    paintLightShafts(img, scale);
    paintVignette(img, scale);
    paintControlPanel(img, scale);
    return img.convertToFormat(QImage::Format_RGB888);
}

QImage paintDebugPreview(const QImage& backdrop, int scale, QRect* readout)
{
    const bh::layout::Place& place = bh::layout::kDebugPreview;
    QImage img =
        backdrop
            .copy(place.left * scale, place.top * scale, place.width * scale, place.height * scale)
            .convertToFormat(QImage::Format_RGB32);
    const QString lines[] = {"FPS: 60.2", "Mouse: 312, 207", "Zone: Brackenholt Wood",
                             "Pos: 1024.0, 12.5, -388.2", "NPCs: 7"};
    // Five lines above row 78: the message panel covers the preview's lower part.
    QRect touched;
    int y = 5;
    for (const QString& line : lines) {
        touched |= drawPixelText(img, scale, 5, y, line, qRgb(255, 236, 150), true);
        y += 13;
    }
    if (readout) {
        *readout = touched;
    }
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace paint
