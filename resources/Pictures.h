// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The pictures and the fonts compiled into the program.
namespace bh {

// A picture by name ("backdrop", "debug-preview"), the sharp 2x version on a high-density
// screen, drawn at the same logical size either way.
QPixmap picture(const QString& name, qreal devicePixelRatio);

// The program's icon at both of its sizes.
QIcon programIcon();

// The face the window's labels use: Garamond where a Windows system has it, else the EB Garamond
// compiled into the program (always on Linux, where the program's own font configuration offers
// no Garamond of the system's), so the captions look the same on every machine.
QFont labelFont(qreal pointSize);

// The face of the check boxes, the text boxes and OK: the DejaVu Sans compiled into the program
// at the size a Linux desktop gives them, so that neither a Windows system's dialog font nor a
// Wine prefix's stand-in for it changes the captions.
QFont controlFont();

} // namespace bh
