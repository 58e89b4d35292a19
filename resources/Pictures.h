// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The pictures and the label font compiled into the program.
namespace bh {

// A picture by name ("backdrop", "debug-preview"), the sharp 2x version on a high-density
// screen, drawn at the same logical size either way.
QPixmap picture(const QString& name, qreal devicePixelRatio);

// The program's icon at both of its sizes.
QIcon programIcon();

// The face the window's labels use: Garamond where the player has it, else the EB Garamond
// compiled into the program, so the captions look the same on every machine.
QFont labelFont(qreal pointSize);

} // namespace bh
