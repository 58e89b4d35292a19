// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Writes the window's layout table as JSON for the tests that drive the real program from
// outside: {"caption", "window": place, "controls": [{"name", "place", "caption"}, ...]} in
// creation order, a place being [left, top, width, height] (width 0: a label).
#include "WindowLayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int main(int argc, char* argv[])
{
    const auto json = [](const bh::layout::Place& p) {
        return QJsonArray{p.left, p.top, p.width, p.height};
    };
    QJsonArray controls;
    for (const bh::layout::Control& control : bh::layout::controls()) {
        controls.append(
            QJsonObject{{QStringLiteral("name"), QString::fromStdString(control.name)},
                        {QStringLiteral("place"), json(control.place)},
                        {QStringLiteral("caption"), QString::fromStdString(control.caption)}});
    }
    const QJsonObject root{{QStringLiteral("caption"), QString::fromLatin1(bh::layout::kCaption)},
                           {QStringLiteral("window"), json(bh::layout::kWindow)},
                           {QStringLiteral("controls"), controls}};
    QFile out(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString());
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(root).toJson()) > 0 ? 0 : 1;
}
