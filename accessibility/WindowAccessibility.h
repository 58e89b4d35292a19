// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// Lets assistive technology (AT-SPI on Linux, UI Automation on Windows) do what a mouse does in
// the settings window: press a message name, and read and set the colour bars as colour
// components (255 at the top) rather than as raw scroll positions; and read a colour box's text
// whole. Call before the window's controls are created: Qt keeps the first interface it hands
// out for a control.
void installWindowAccessibility();
