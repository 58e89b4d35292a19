// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace paint {

namespace {

enum Colour {
    Clear,
    Outline,
    FieldDark,
    FieldMid,
    FieldLight,
    GoldDark,
    Gold,
    GoldLight,
    FrondDark,
    FrondMid,
    FrondLight,
    FrondGlint,
    Stem,
    Rust,
    RimShadow,
    Spare
};

const std::array<QRgb, 16> palette = {
    qRgba(0, 0, 0, 0), qRgb(14, 18, 10),   qRgb(22, 50, 26),   qRgb(34, 78, 38),
    qRgb(52, 106, 48), qRgb(118, 78, 22),  qRgb(198, 150, 50), qRgb(250, 216, 122),
    qRgb(54, 104, 22), qRgb(110, 170, 36), qRgb(172, 218, 66), qRgb(232, 246, 160),
    qRgb(96, 64, 30),  qRgb(168, 74, 26),  qRgb(66, 60, 40),   qRgb(128, 128, 128)};

QColor c(Colour k)
{
    return QColor::fromRgba(palette[k]);
}

QPainterPath rectPath(const QRectF& r)
{
    QPainterPath p;
    p.addRect(r);
    return p;
}

// The shield outline in a 1 x 1 box.
QPainterPath shield(double inset)
{
    const double l = 0.08 + inset, r = 0.92 - inset, t = 0.05 + inset, b = 0.96 - inset * 1.6;
    QPainterPath p;
    p.moveTo(l, t + 0.04);
    p.quadTo(0.5, t - 0.03, r, t + 0.04);
    p.lineTo(r, 0.48);
    p.cubicTo(r, 0.72, 0.66, 0.86, 0.5, b);
    p.cubicTo(0.34, 0.86, l, 0.72, l, 0.48);
    p.closeSubpath();
    return p;
}

void paintEmblem(QPainter& p, int size)
{
    // Widths are in pixels of the 32 x 32 icon; the 16 x 16 one keeps every line at least
    // one pixel wide and drops what would only blur at that size.
    const double px = 1.0 / size;
    const double unit = std::max(px, 1.0 / 32);
    const bool small = size < 24;
    auto inset = [&](double designPx) {
        return std::max(px * std::round(designPx * unit / px), px);
    };
    const double rim = small ? px * 2 : inset(3);
    p.setPen(Qt::NoPen);
    p.setBrush(c(Outline));
    p.drawPath(shield(0));
    p.setBrush(c(GoldDark));
    p.drawPath(shield(inset(1)));
    p.setBrush(c(Gold));
    p.drawPath(shield(inset(1)).intersected(rectPath(QRectF(0, 0, 0.62, 1))));
    if (!small) {
        p.setBrush(c(Outline));
        p.drawPath(shield(rim));
    }
    // The field, lighter on the left where the light falls.
    const QPainterPath field = shield(small ? rim : rim + inset(1));
    p.setBrush(c(FieldDark));
    p.drawPath(field);
    p.setBrush(c(FieldMid));
    p.drawPath(field.intersected(rectPath(QRectF(0, 0, 0.5, 1))));
    if (!small) {
        p.setBrush(c(FieldLight));
        p.drawPath(field.intersected(rectPath(QRectF(0, 0, 0.5, 0.28))));
        p.setBrush(c(GoldLight));
        p.drawRect(QRectF(0.16, 0.08, 0.22, inset(1))); // glint on the rim
    }

    // The frond: a stem rising from the shield's point, curling over at the top, with
    // leaflets in pairs that shrink toward the tip.
    const QPointF base(0.5, small ? 0.84 : 0.86), ctrl(0.46, 0.3), tip(0.64, 0.17);
    auto at = [&](double t) {
        return base * (1 - t) * (1 - t) + ctrl * 2 * t * (1 - t) + tip * t * t;
    };
    const int pairs = small ? 3 : 6;
    for (int pass = small ? 1 : 0; pass < 2; ++pass) {
        for (int k = 0; k < pairs; ++k) {
            const double t = (small ? 0.3 : 0.2) + (small ? 0.5 : 0.72) * k / double(pairs - 1);
            const QPointF a = at(t), b = at(t + 0.02);
            QPointF tan = b - a;
            tan /= std::hypot(tan.x(), tan.y());
            const double len = (small ? 0.36 : 0.27) * (1.05 - t * 0.75);
            for (int side = -1; side <= 1; side += 2) {
                const QPointF n(-tan.y() * side, tan.x() * side);
                const QPointF end = a + (n * 0.85 + tan * 0.55) * len;
                const QPointF w = tan * len * (small ? 0.3 : 0.22);
                QPolygonF leaf;
                leaf << a - w * 0.6 << (a + end) / 2 - w << end << (a + end) / 2 + w * 0.6
                     << a + w * 0.6;
                if (pass == 0) {
                    p.setBrush(c(Outline));
                    p.setPen(
                        QPen(c(Outline), px * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                } else {
                    p.setPen(Qt::NoPen);
                    p.setBrush(c(side < 0 ? FrondLight : FrondMid));
                }
                p.drawPolygon(leaf);
            }
        }
        QPainterPath stem;
        stem.moveTo(base);
        stem.quadTo(ctrl, tip);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c(pass == 0 ? Outline : FrondGlint),
                      pass == 0 ? px * 3.2 : std::max(px * 1.3, 1.3 / 32), Qt::SolidLine,
                      Qt::RoundCap));
        p.drawPath(stem);
    }
    if (!small) {
        // The fiddlehead curl at the tip.
        p.setPen(QPen(c(FrondLight), px * 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(tip.x() - 0.06, tip.y() - 0.02, 0.09, 0.09), 90 * 16, 270 * 16);
    }
}

} // namespace

QImage paintIcon(int size)
{
    // Painted without antialiasing at eight times the size; each icon pixel takes the colour
    // that covers most of its 8 x 8 block. Only palette colours are ever drawn, so edges stay
    // crisp instead of turning into blends that no palette entry matches.
    constexpr int ss = 8;
    QImage big(size * ss, size * ss, QImage::Format_ARGB32);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.scale(size * ss, size * ss);
        paintEmblem(p, size);
    }
    QImage icon(size, size, QImage::Format_Indexed8);
    icon.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::array<int, 16> votes{};
            for (int j = 0; j < ss; ++j) {
                for (int i = 0; i < ss; ++i) {
                    const QRgb px = big.pixel(x * ss + i, y * ss + j);
                    const auto it = std::find(palette.begin(), palette.end(), px);
                    if (it == palette.end()) {
                        throw std::logic_error(
                            "the icon painter used a colour outside its palette");
                    }
                    ++votes[std::size_t(it - palette.begin())];
                }
            }
            // Transparency wins only with a clear majority, so the rim is not eaten away.
            if (votes[Clear] <= ss * ss * 5 / 8) {
                votes[Clear] = 0;
            }
            icon.setPixel(x, y, uint(std::max_element(votes.begin(), votes.end()) - votes.begin()));
        }
    }
    return icon;
}

QByteArray encodeIco(const std::vector<QImage>& icons)
{
    auto put16 = [](QByteArray& out, int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    auto put32 = [&](QByteArray& out, qint64 v) {
        put16(out, int(v & 0xFFFF));
        put16(out, int((v >> 16) & 0xFFFF));
    };
    std::vector<QByteArray> bodies;
    for (const QImage& img : icons) {
        if (img.format() != QImage::Format_Indexed8 || img.colorCount() > 16 || img.width() > 255) {
            throw std::invalid_argument("an .ico entry must be a 16-colour indexed image");
        }
        const int n = img.width();
        const int xorStride = ((n + 1) / 2 + 3) / 4 * 4;
        const int andStride = ((n + 7) / 8 + 3) / 4 * 4;
        QByteArray body;
        put32(body, 40); // BITMAPINFOHEADER: the height counts the colour and mask halves
        put32(body, n);
        put32(body, qint64{2} * n);
        put16(body, 1);
        put16(body, 4);
        put32(body, 0);
        put32(body, qint64{xorStride + andStride} * n);
        put32(body, 0);
        put32(body, 0);
        put32(body, 16);
        put32(body, 0);
        for (int i = 0; i < 16; ++i) {
            const QRgb c = i < img.colorCount() && qAlpha(img.color(i)) ? img.color(i) : 0u;
            body.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
        }
        for (int y = n - 1; y >= 0; --y) { // bitmaps are stored bottom row first
            QByteArray row(xorStride, '\0');
            for (int x = 0; x < n; ++x) {
                const int idx = img.pixelIndex(x, y);
                const int v = qAlpha(img.color(idx)) ? idx : 0;
                row[x / 2] = char(row[x / 2] | (x % 2 ? v : v << 4));
            }
            body.append(row);
        }
        for (int y = n - 1; y >= 0; --y) {
            QByteArray row(andStride, '\0');
            for (int x = 0; x < n; ++x) {
                if (!qAlpha(img.color(img.pixelIndex(x, y)))) {
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
                }
            }
            body.append(row);
        }
        bodies.push_back(body);
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, int(icons.size()));
    qint64 offset = 6 + 16 * qint64(icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i) {
        out.append(char(icons[i].width())).append(char(icons[i].height()));
        out.append(char(16)).append('\0');
        put16(out, 1);
        put16(out, 4);
        put32(out, bodies[i].size());
        put32(out, offset);
        offset += bodies[i].size();
    }
    for (const QByteArray& b : bodies) {
        out.append(b);
    }
    return out;
}

} // namespace paint
