// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QAccessibleInterface;

// Tells a screen reader text as the new description of control, which a reader speaks as it is,
// at once, with nothing before it (a notification it would introduce with its role's name).
// Qt 6.4's bridge reports a changed description as the object and not as the text, so the words
// are sent past it, on the bridge's own connection so that the reader takes them for the control
// it knows. False where the desktop's reader cannot be told so; the caller tells it otherwise.
bool sayAsDescription(QAccessibleInterface* control, const QString& text);
