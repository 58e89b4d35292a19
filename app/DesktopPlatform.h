// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace bh {

// An X server gets this long to answer a connection made before Qt starts: one that is merely
// slow (a remote display, a loaded machine) still gets the window; one that is stopped does not
// hold up the start for good.
inline constexpr int kXServerDeadlineMs = 5000;

// Runs ask, which talks to the X server, on a thread of its own and waits no longer than the
// deadline for its answer: xcb waits for good on a server that is stopped. Such a server keeps
// the thread to the end, which shares nothing with the caller but the answer's slot. Empty when
// the deadline passed.
template <typename Ask> auto askXServerWithinDeadline(Ask ask) -> std::optional<decltype(ask())>
{
    struct Outcome {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<decltype(ask())> answer;
    };
    const auto outcome = std::make_shared<Outcome>();
    std::thread([outcome, ask] {
        auto answer = ask();
        const std::lock_guard lock(outcome->mutex);
        outcome->answer = std::move(answer);
        outcome->changed.notify_all();
    }).detach();
    std::unique_lock lock(outcome->mutex);
    outcome->changed.wait_for(lock, std::chrono::milliseconds(kXServerDeadlineMs),
                              [&] { return outcome->answer.has_value(); });
    return outcome->answer;
}

// Picks the way to the player's desktop (Wayland or X11) so that the window gets a title bar
// with a working close button. Must run before the application object is made; a platform the
// player names in QT_QPA_PLATFORM is left alone. A compositor that does not answer within half a
// second is left alone too: X11 where DISPLAY names a server, or else false, with the reason on
// standard error. An X server that Qt would try first and that does not answer within a few
// seconds ends the start the same way, or gives way to a compositor that answers.
bool chooseDesktopPlatform();

} // namespace bh
