// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "backdrop.h"
#include "paint_support.h"
#include "pixel_font.h"

#include <QPainter>
#include <QPainterPath>

namespace paint {

namespace {

const QRectF barArea(0, panelTop, backdropWidth, backdropHeight - panelTop);
// The message log's frame stands up from the bar around the dark message panel, which
// covers the recess exactly.
const QRectF logFrame(6, 70, 245, panelTop - 70 + 4);
const QRectF logRecess(bh::layout::kMessagePanel.left, bh::layout::kMessagePanel.top,
                       bh::layout::kMessagePanel.width, bh::layout::kMessagePanel.height);
const Rgb bronze{170, 126, 62};

// The panel mixes painter shapes with pixel text, which draws through its own painter; the
// shape painter is paused around the text and must come back with the same scale.
void resume(QPainter& p, QImage& img, int s)
{
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s, s);
}

bool inStone(double u, double v)
{
    return (barArea.contains(u, v) || logFrame.contains(u, v)) && !logRecess.contains(u, v);
}

// Dressed stone blocks with mortar joints; each block bevelled and tinted on its own.
void paintStone(QImage& img, int s)
{
    shade(img, s, QRectF(0, logFrame.top(), backdropWidth, backdropHeight - logFrame.top()),
          [](double u, double v, Rgb& px) {
              if (!inStone(u, v)) {
                  return;
              }
              const double rowH = 24, blockW = 52;
              const int row = int(std::floor(v / rowH));
              const double shift = (row % 2) * blockW * 0.5 + (row % 3) * 7;
              const int col = int(std::floor((u + shift) / blockW));
              const double bx = u + shift - col * blockW, by = v - row * rowH;
              const double tint = noise(col * 1.0 + 0.5, row * 1.0 + 0.5, 71);
              const double grain = fbm(u / 7.0, v / 7.0, 5, 73);
              const double pits = smooth(0.62, 0.75, fbm(u / 2.0, v / 2.0, 2, 79));
              Rgb c = mix(Rgb{70, 66, 60}, Rgb{112, 106, 96}, 0.35 * tint + 0.65 * grain);
              c = c * (1 - 0.25 * pits);
              const double joint = std::min({bx, by, blockW - bx, rowH - by});
              c = c * (1.0 + 0.25 * smooth(3.5, 1.0, std::min(bx, by)) -
                       0.3 * smooth(3.5, 1.0, std::min(blockW - bx, rowH - by)));
              c = mix(Rgb{30, 28, 25}, c, smooth(0.4, 1.6, joint));
              px = c;
          });
    // The recess of the message log: a dark pane, in case the panel over it is missing.
    shade(img, s, logRecess, [](double u, double v, Rgb& px) {
        const double edge = std::min({u - logRecess.left(), v - logRecess.top(),
                                      logRecess.right() - u, logRecess.bottom() - v});
        px = Rgb{30, 28, 26} * (0.6 + 0.4 * smooth(0, 6, edge));
    });
}

void paintTrim(QPainter& p)
{
    QPainterPath outline;
    outline.addRect(barArea.adjusted(-4, 0, 4, 4));
    outline.addRect(logFrame);
    outline = outline.simplified();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 40, 18), 5));
    p.drawPath(outline);
    p.setPen(QPen(toQColor(bronze), 3));
    p.drawPath(outline);
    p.setPen(QPen(QColor(236, 200, 130), 1));
    p.drawPath(outline.translated(-0.5, -0.5));
    p.setPen(QPen(toQColor(bronze * 0.8), 2));
    p.drawRect(logRecess.adjusted(-1, -1, 1, 1));
    for (double x : {256.0, 522.0}) {
        QLinearGradient g(x - 3, 0, x + 3, 0);
        g.setColorAt(0, QColor(80, 56, 26));
        g.setColorAt(0.4, QColor(220, 180, 110));
        g.setColorAt(1, QColor(70, 48, 20));
        p.fillRect(QRectF(x - 3, panelTop, 6, barArea.height()), g);
    }
    const QPointF rivets[] = {{10, 74},   {247, 74},  {10, 474},  {247, 474},
                              {262, 342}, {516, 342}, {262, 474}, {516, 474},
                              {528, 342}, {634, 342}, {528, 474}, {634, 474}};
    for (const QPointF& r : rivets) {
        QRadialGradient g(r - QPointF(0.8, 0.8), 3.2);
        g.setColorAt(0, QColor(250, 226, 170));
        g.setColorAt(0.5, toQColor(bronze));
        g.setColorAt(1, QColor(60, 40, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(r, 2.6, 2.6);
    }
}

// A sunken gauge with a glossy fill, as the game shows health, mana and stamina.
void paintGauge(QPainter& p, const QRectF& r, double fill, QColor colour)
{
    p.setPen(QPen(QColor(30, 24, 16), 1));
    p.setBrush(QColor(18, 16, 14));
    p.drawRoundedRect(r, 3, 3);
    const QRectF in = r.adjusted(2, 2, -2, -2);
    const QRectF filled(in.topLeft(), QSizeF(in.width() * fill, in.height()));
    QLinearGradient g(0, in.top(), 0, in.bottom());
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(0.35, colour);
    g.setColorAt(1, colour.darker(220));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(filled, 2, 2);
    p.setPen(QPen(toQColor(bronze * 0.9), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), 3.5, 3.5);
}

void paintSlotItem(QPainter& p, const QRectF& r, int kind)
{
    const QPointF c = r.center();
    p.setPen(Qt::NoPen);
    auto potion = [&](QColor liquid) {
        p.setBrush(QColor(200, 210, 220, 90));
        p.drawRect(QRectF(c.x() - 2, c.y() - 9, 4, 5));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(c.x() - 2.5, c.y() - 11, 5, 2.5));
        QRadialGradient g(c + QPointF(-2, 0), 8);
        g.setColorAt(0, liquid.lighter(170));
        g.setColorAt(1, liquid.darker(160));
        p.setBrush(g);
        p.drawEllipse(c + QPointF(0, 3), 7, 7);
    };
    switch (kind) {
    case 0:
        potion(QColor(200, 30, 30));
        break;
    case 1:
        potion(QColor(40, 70, 210));
        break;
    case 2: // sword
        p.setPen(QPen(QColor(210, 214, 222), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-8, 8), c + QPointF(8, -8));
        p.setPen(QPen(QColor(170, 130, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-8, 2), c + QPointF(-2, 8));
        p.drawLine(c + QPointF(-10, 10), c + QPointF(-6, 6));
        break;
    case 3: { // bow
        p.setPen(QPen(QColor(150, 100, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - 16, c.y() - 10, 22, 20), -70 * 16, 140 * 16);
        p.setPen(QPen(QColor(230, 230, 210), 0.8));
        p.drawLine(c + QPointF(-1.5, -9.5), c + QPointF(-1.5, 9.5));
        break;
    }
    case 4: // scroll
        p.setBrush(QColor(226, 208, 160));
        p.drawRect(QRectF(c.x() - 7, c.y() - 6, 14, 12));
        p.setBrush(QColor(176, 150, 100));
        p.drawEllipse(QRectF(c.x() - 9, c.y() - 8, 4, 16));
        p.drawEllipse(QRectF(c.x() + 5, c.y() - 8, 4, 16));
        p.setPen(QPen(QColor(120, 40, 30), 1));
        p.drawLine(c + QPointF(-4, -2), c + QPointF(4, -2));
        p.drawLine(c + QPointF(-4, 1), c + QPointF(3, 1));
        break;
    case 5: { // bread
        QRadialGradient g(c + QPointF(-2, -3), 10);
        g.setColorAt(0, QColor(230, 170, 90));
        g.setColorAt(1, QColor(130, 70, 30));
        p.setBrush(g);
        p.drawEllipse(QRectF(c.x() - 10, c.y() - 6, 20, 13));
        break;
    }
    case 6: // key
        p.setPen(QPen(QColor(220, 180, 80), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c + QPointF(-5, -4), 3.5, 3.5);
        p.drawLine(c + QPointF(-2.5, -1.5), c + QPointF(8, 8));
        p.drawLine(c + QPointF(4, 4), c + QPointF(7, 1));
        break;
    default: { // torch
        p.setPen(QPen(QColor(110, 70, 36), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-4, 10), c + QPointF(2, -3));
        p.setPen(Qt::NoPen);
        QRadialGradient g(c + QPointF(3, -6), 7);
        g.setColorAt(0, QColor(255, 250, 200));
        g.setColorAt(0.5, QColor(255, 160, 40));
        g.setColorAt(1, QColor(200, 60, 10, 0));
        p.setBrush(g);
        p.drawEllipse(c + QPointF(3, -6), 7, 8);
        break;
    }
    }
}

void paintSlots(QImage& img, int s, QPainter& p)
{
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 8; ++i) {
            const QRectF r(264 + i * 32, 382 + row * 44, 28, 28);
            QLinearGradient g(0, r.top(), 0, r.bottom());
            g.setColorAt(0, QColor(16, 14, 12));
            g.setColorAt(1, QColor(44, 40, 34));
            p.setPen(QPen(toQColor(bronze * 0.85), 1.5));
            p.setBrush(g);
            p.drawRoundedRect(r, 2.5, 2.5);
            if (row == 0) {
                paintSlotItem(p, r, i);
            } else if (i < 5) {
                // Spells: a gem of the school's colour.
                const QColor gems[] = {{230, 90, 30},
                                       {80, 170, 255},
                                       {120, 220, 90},
                                       {200, 120, 255},
                                       {250, 230, 120}};
                QRadialGradient gg(r.center() + QPointF(-2, -3), 10);
                gg.setColorAt(0, gems[i].lighter(180));
                gg.setColorAt(0.6, gems[i]);
                gg.setColorAt(1, gems[i].darker(250));
                p.setPen(Qt::NoPen);
                p.setBrush(gg);
                p.drawEllipse(r.center(), 8.5, 8.5);
            }
        }
    }
    p.end();
    for (int i = 0; i < 8; ++i) {
        drawPixelText(img, s, 266 + i * 32, 384, QString::number(i + 1), qRgb(236, 226, 200), true);
    }
    resume(p, img, s);
}

void paintCompass(QImage& img, int s, QPainter& p)
{
    const QRectF band(264, 348, 252, 22);
    p.setPen(QPen(toQColor(bronze * 0.9), 1.5));
    p.setBrush(QColor(22, 20, 16));
    p.drawRoundedRect(band, 4, 4);
    p.setPen(QPen(QColor(170, 160, 130), 1));
    for (int i = 0; i <= 24; ++i) {
        const double x = band.left() + 6 + i * 10;
        p.drawLine(QPointF(x, band.bottom() - 3), QPointF(x, band.bottom() - (i % 3 ? 5 : 8)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 60, 40));
    p.drawEllipse(QPointF(band.left() + 176, band.top() + 7), 2.2, 2.2); // quest marker
    p.end();
    drawPixelText(img, s, 274, 351, "W", qRgb(200, 190, 160), true);
    drawPixelText(img, s, 388, 351, "N", qRgb(255, 220, 120), true);
    drawPixelText(img, s, 500, 351, "E", qRgb(200, 190, 160), true);
    resume(p, img, s);
}

void paintMinimap(QImage& img, int s, QPainter& p)
{
    const QPointF c(581, 410);
    const double r = 46;
    p.end();
    shade(img, s, QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), [&](double u, double v, Rgb& px) {
        const double d = std::hypot(u - c.x(), v - c.y());
        if (d > r + 1) {
            return;
        }
        const double wood = fbm(u / 9.0, v / 9.0, 4, 91);
        Rgb m = mix(Rgb{52, 86, 40}, Rgb{100, 128, 62}, wood);
        m = m * (1 - 0.4 * smooth(0.62, 0.7, noise(u / 2.5, v / 2.5, 93))); // tree tops
        const double trail = std::abs(u - c.x() - 9 * std::sin((v - c.y()) / 14.0) + 2);
        m = mix(m, Rgb{176, 150, 104}, smooth(2.4, 1.2, trail));
        m = m * (0.55 + 0.45 * smooth(r, r * 0.3, d)); // the glass darkens toward the rim
        px = mix(px, m, clamp01(r + 0.5 - d));
    });
    resume(p, img, s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(50, 32, 14), 7));
    p.drawEllipse(c, r + 3, r + 3);
    p.setPen(QPen(toQColor(bronze), 4));
    p.drawEllipse(c, r + 3, r + 3);
    p.setPen(QPen(QColor(240, 210, 140), 1));
    p.drawArc(QRectF(c.x() - r - 4, c.y() - r - 4, 2 * r + 8, 2 * r + 8), 60 * 16, 110 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 40, 30));
    for (QPointF npc : {QPointF(-6, -24), QPointF(14, -33), QPointF(-26, 10)}) {
        p.drawEllipse(c + npc, 2, 2);
    }
    QPolygonF arrow;
    arrow << c + QPointF(0, -7) << c + QPointF(5, 5) << c + QPointF(0, 2) << c + QPointF(-5, 5);
    p.setPen(QPen(QColor(30, 20, 10), 1));
    p.setBrush(QColor(255, 226, 120));
    p.drawPolygon(arrow);
    p.end();
    drawPixelText(img, s, int(c.x()) - 2, int(c.y() - r) - 6, "N", qRgb(255, 236, 170), true);
    resume(p, img, s);
}

} // namespace

void paintControlPanel(QImage& img, int s)
{
    paintStone(img, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s, s);
    paintTrim(p);
    paintGauge(p, QRectF(22, 350, 216, 16), 0.78, QColor(196, 34, 28));
    paintGauge(p, QRectF(22, 374, 216, 16), 0.55, QColor(40, 84, 214));
    paintGauge(p, QRectF(22, 398, 216, 16), 0.9, QColor(60, 170, 56));
    paintGauge(p, QRectF(22, 428, 216, 7), 0.36, QColor(214, 170, 40)); // experience
    paintCompass(img, s, p);
    paintSlots(img, s, p);
    paintMinimap(img, s, p);
    p.end();
    const QRgb label = qRgb(240, 232, 214);
    drawPixelText(img, s, 28, 355, "HP", label, true);
    drawPixelText(img, s, 190, 355, "156/200", label, true);
    drawPixelText(img, s, 28, 379, "MP", label, true);
    drawPixelText(img, s, 196, 379, "66/120", label, true);
    drawPixelText(img, s, 28, 403, "SP", label, true);
    drawPixelText(img, s, 196, 403, "90/100", label, true);
    drawPixelText(img, s, 24, 444, "Level 12", qRgb(236, 206, 120), true);
    drawPixelText(img, s, 166, 444, "Gold 1284", qRgb(236, 206, 120), true);
    drawPixelText(img, s, 24, 460, "Brackenholt Wood", qRgb(200, 196, 180), true);
}

} // namespace paint
