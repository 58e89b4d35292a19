// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

// What the window tells of its own accord: a change the player did not make on the control they
// are on (the type the bars now edit, the boxes the colour depth set, the number a typed value
// was held to), and that the settings were saved. The window only says what changed; how it
// reaches the player is plugged in by the program's start (a screen reader's notice), so the
// form knows nothing of who listens. Until one is plugged in, nobody is told.
class WindowNotices {
public:
    // A choice is where the player is now: one they have moved on from before it was told is no
    // longer worth hearing. Any other change still holds after the next.
    enum class Kind { Change, Choice };

    WindowNotices() = default;
    WindowNotices(const WindowNotices&) = delete;
    WindowNotices& operator=(const WindowNotices&) = delete;
    virtual ~WindowNotices() = default;

    virtual void announce(const QString& text, Kind kind = Kind::Change) = 0;
    // Before a choice changes the controls, whose changes then wait for its announcement.
    virtual void choosing() = 0;
    // Tells text as the window's last words and calls close once it has been heard, or at once
    // when nobody listens.
    virtual void farewell(const QString& text, const std::function<void()>& close) = 0;
};
