// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// The program's icon: a bracken frond on a green shield with a gold rim, in 15 colours and
// transparency, so it fits the classic 16-colour icon format.

#include <QByteArray>
#include <QImage>
#include <vector>

namespace paint {

// size x size, Format_Indexed8 with a 16-entry colour table; entry 0 is transparent.
QImage paintIcon(int size);

// A Windows .ico holding each image as a 4-bit bitmap with its transparency mask.
QByteArray encodeIco(const std::vector<QImage>& icons);

} // namespace paint
