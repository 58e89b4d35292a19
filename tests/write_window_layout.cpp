// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Writes the window's layout table as JSON, so the tests that drive the real program from
// outside click where the program itself places its controls:
//   {"caption": "...", "window": [left, top, width, height],
//    "controls": [{"name": "imgBase", "place": [left, top, width, height], "caption": ""}, ...]}
// in creation order. A label's width is 0: it is as wide as its caption in the label font.
#include "WindowLayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray placeJson(const bh::layout::Place& p)
{
    return {p.left, p.top, p.width, p.height};
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        return 2;
    }
    QJsonArray controls;
    for (const bh::layout::Control& control : bh::layout::controls()) {
        controls.append(
            QJsonObject{{QStringLiteral("name"), QString::fromStdString(control.name)},
                        {QStringLiteral("place"), placeJson(control.place)},
                        {QStringLiteral("caption"), QString::fromStdString(control.caption)}});
    }
    const QJsonObject root{{QStringLiteral("caption"), QString::fromLatin1(bh::layout::kCaption)},
                           {QStringLiteral("window"), placeJson(bh::layout::kWindow)},
                           {QStringLiteral("controls"), controls}};
    QFile out(QString::fromLocal8Bit(argv[1]));
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(root).toJson()) > 0 ? 0 : 1;
}
