// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "SdlLibrary.h"

#include <windows.h>

namespace sdl_library {

void* open(std::string& error)
{
    // The SDL2.dll beside the program, never one from the working folder or PATH.
    HMODULE library = LoadLibraryExW(L"SDL2.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr) {
        error = "SDL2.dll beside the program cannot be loaded (Windows error " +
                std::to_string(GetLastError()) + ")";
    }
    return reinterpret_cast<void*>(library);
}

void* function(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void dispatchThreadMessages()
{
    // A pad plugged in reaches SDL as WM_DEVICECHANGE (and raw input) at its message windows,
    // and SDL looks again for pads on the timer those set; both only once dispatched.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace sdl_library
