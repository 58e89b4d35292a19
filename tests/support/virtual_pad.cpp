// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Preloaded into the program by the end-to-end driver, which has no pad to plug in: as soon as
// the program has started SDL, SDL's own virtual controller is plugged in beside whatever pads
// there are. With BH_VIRTUAL_PAD naming a FIFO, each line read there is a row of SDL button
// names ("dpdown a"), pressed and let go in turn, each held across two of the program's looks
// at its pads; the line then goes to BH_VIRTUAL_PAD.done, so the driver knows it was played.
#include <SDL.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::atomic<int> looks{0};
SDL_Joystick* pad = nullptr;

void set(int button, Uint8 down)
{
    SDL_JoystickSetVirtualButton(pad, button, down);
    for (const int until = looks + 2; looks < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void play(const std::string& fifo)
{
    std::ofstream done(fifo + ".done", std::ios::app);
    for (;;) { // the driver opens and closes the FIFO for each row
        std::ifstream rows(fifo);
        for (std::string row; std::getline(rows, row);) {
            std::istringstream names(row);
            for (std::string name; names >> name;) {
                const int button = SDL_GameControllerGetButtonFromString(name.c_str());
                set(button, 1);
                set(button, 0);
            }
            done << row << std::endl;
        }
    }
}

} // namespace

extern "C" {

int SDL_Init(Uint32 flags)
{
    static const auto real = reinterpret_cast<int (*)(Uint32)>(dlsym(RTLD_NEXT, "SDL_Init"));
    const int status = real(flags);
    if (status == 0 && pad == nullptr) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        if (const char* fifo = std::getenv("BH_VIRTUAL_PAD")) {
            std::thread(play, std::string(fifo)).detach();
        }
    }
    return status;
}

void SDL_PumpEvents()
{
    static const auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_PumpEvents"));
    real();
    ++looks;
}

} // extern "C"
