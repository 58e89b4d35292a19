// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "PadInput.h"

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// SDL2's game controllers, read in a thread of their own: SDL is loaded and started there, pads
// come and go there, and only finished events cross to the window. Whatever SDL does (a device
// path that is a FIFO, a mapping file that never ends), the window keeps answering.
//
// SDL's own wait would wake every millisecond, so the thread looks at a pace of its own: each
// frame while a direction is held, 25 times a second while a pad lies still, and once a second
// when no pad is there or the window is not the active one; then only pads coming and going
// count, and what the pads did meanwhile is dropped, so nothing held carries over.
class PadReader {
public:
    PadReader();
    // Ends the thread; one that SDL keeps blocked is left to end with the program.
    ~PadReader();
    PadReader(const PadReader&) = delete;
    PadReader& operator=(const PadReader&) = delete;

    // Starts the thread. `ready` is called on it each time finished events start to wait for
    // take().
    void startThread(std::function<void()> ready);
    // Starts SDL on the calling thread instead, for a caller that keeps its own time and reads
    // with look(). A pad that cannot be read costs the player nothing but a line on standard
    // error.
    void startHere();
    std::vector<PadEvent> look();

    std::vector<PadEvent> take();
    void setAwake(bool awake);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};
