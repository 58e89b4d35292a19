// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class QWidget;
class ReaderEventFilter;
class WindowNotices;

// Lets assistive technology (AT-SPI on Linux, UI Automation on Windows) do what a mouse does in
// the settings window: press a message name, and read and set the colour bars as colour
// components (255 at the top) rather than as raw scroll positions; and read a colour box's text
// whole. Make it before the window's controls are created, as Qt keeps the first interface it
// hands out for a control, and keep it for as long as the window lives: it holds what is on its
// way to a screen reader.
class WindowAccessibility {
public:
    WindowAccessibility();
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility&) = delete;
    WindowAccessibility& operator=(const WindowAccessibility&) = delete;

    // What the window tells a screen reader of its own accord; the window owns it, as its child.
    WindowNotices* noticesFor(QWidget* window);

private:
    std::unique_ptr<ReaderEventFilter> filter_;
};
