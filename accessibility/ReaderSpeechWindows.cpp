// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderSpeech.h"

bool sayAsDescription(QAccessibleInterface* /*control*/, const QString& /*text*/)
{
    return false; // UI Automation has no such event through Qt; the notice stays
}
