// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GameModeScale.h"

#include <windows.h>

namespace bh {

namespace {

// The system's dots per inch, which Qt scales every window by (against 96) once it declares the
// program aware of it. Until then Windows would report 96 to the program, so the asking thread is
// made aware for the moment; a Windows without the calls (before 10) gives 96.
double systemScale()
{
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using SystemDpi = UINT(WINAPI*)();
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return 1.0;
    }
    const auto setContext = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    const auto systemDpi = reinterpret_cast<SystemDpi>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForSystem")));
    if (setContext == nullptr || systemDpi == nullptr) {
        return 1.0;
    }
    const DPI_AWARENESS_CONTEXT previous = setContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
    const UINT dpi = systemDpi();
    if (previous != nullptr) {
        setContext(previous);
    }
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

} // namespace

// The display mode, not the system metrics: before Qt declares the program aware of the screen's
// scale, Windows would report the metrics of a scaled desktop shrunk by that scale.
ScreenPixels screenBeforeQt()
{
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) == 0) {
        return {};
    }
    return {int(mode.dmPelsWidth), int(mode.dmPelsHeight), systemScale()};
}

} // namespace bh
