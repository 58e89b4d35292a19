// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The platform's half of reading pads: SDL2 is loaded only once the window is on screen, from
// the game folder's own library (a player may put another in its place), and on Windows it needs
// its thread's window messages handed over.
namespace sdl_library {

// Opens the library for the process' whole life; null, and why in `error`, when it cannot.
void* open(std::string& error);
// One of its functions, or null.
void* function(void* library, const char* name);
// On Windows SDL learns of pads coming and going from messages sent to windows of its own, made
// by the thread that started it; nothing else pumps that thread's messages, so each look does.
// Elsewhere nothing.
void dispatchThreadMessages();

} // namespace sdl_library
