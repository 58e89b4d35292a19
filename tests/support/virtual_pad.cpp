// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Preloaded into the program by the end-to-end driver: once the program has started SDL, SDL's
// virtual controller is plugged in. Each line read from the FIFO BH_VIRTUAL_PAD names buttons
// ("dpdown a"), each pressed and let go across two of the program's looks at its pads; the
// line then goes to BH_VIRTUAL_PAD.done.
#include <SDL.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::atomic<int> looks{0};

void play(SDL_Joystick* pad, const std::string& fifo)
{
    std::ofstream done(fifo + ".done", std::ios::app);
    for (;;) { // the driver opens and closes the FIFO for each line
        std::ifstream lines(fifo);
        for (std::string line; std::getline(lines, line); done << line << std::endl) {
            std::istringstream names(line);
            for (std::string name; names >> name;) {
                for (const Uint8 down : {1, 0}) {
                    SDL_JoystickSetVirtualButton(
                        pad, SDL_GameControllerGetButtonFromString(name.c_str()), down);
                    for (const int until = looks + 2; looks < until;) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
                }
            }
        }
    }
}

} // namespace

extern "C" int SDL_Init(Uint32 flags)
{
    static const auto real = reinterpret_cast<int (*)(Uint32)>(dlsym(RTLD_NEXT, "SDL_Init"));
    const int status = real(flags);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    SDL_Joystick* pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    if (const char* fifo = std::getenv("BH_VIRTUAL_PAD"); fifo != nullptr && status == 0) {
        std::thread(play, pad, std::string(fifo)).detach();
    }
    return status;
}

extern "C" void SDL_PumpEvents()
{
    static const auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_PumpEvents"));
    real();
    ++looks;
}
