// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "PadReader.h"

#include "SdlLibrary.h"

#include <SDL.h>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

using namespace std::chrono_literals;

constexpr auto kHeldPace = 16ms;
constexpr auto kPadPace = 40ms;
constexpr auto kRestingPace = 1000ms;
// How long the window's end waits for SDL to close.
constexpr auto kQuitWait = 500ms;

// A stick counts as pushed past half way, and as let go below a quarter, so that a thumb resting
// near the half does not flicker between the two.
constexpr int kStickPushed = 16384;
constexpr int kStickLetGo = 8192;

// SDL_GAMECONTROLLERCONFIG_FILE names a file of mappings; the community's whole database is
// under 1 MiB. Beyond this the rest is left unread rather than held in memory.
constexpr std::size_t kMappingsLimit = 4u << 20;

// The d-pad's buttons and the buttons that act; every other button does nothing.
std::optional<PadDirection> dpadDirection(int button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return PadDirection::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return PadDirection::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return PadDirection::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return PadDirection::Right;
    default:
        return std::nullopt;
    }
}

std::optional<PadButton> actingButton(int button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B:
        return PadButton::B;
    case SDL_CONTROLLER_BUTTON_Y:
        return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return PadButton::RightShoulder;
    default:
        return std::nullopt;
    }
}

// The functions used, looked up once; their names are written only here.
#define BH_SDL_FUNCTIONS(X)                                                                        \
    X(SDL_GetError)                                                                                \
    X(SDL_SetHint)                                                                                 \
    X(SDL_SetHintWithPriority)                                                                     \
    X(SDL_Init)                                                                                    \
    X(SDL_Quit)                                                                                    \
    X(SDL_PumpEvents)                                                                              \
    X(SDL_PeepEvents)                                                                              \
    X(SDL_RWFromConstMem)                                                                          \
    X(SDL_GameControllerAddMappingsFromRW)                                                         \
    X(SDL_GameControllerOpen)                                                                      \
    X(SDL_GameControllerClose)                                                                     \
    X(SDL_GameControllerGetJoystick)                                                               \
    X(SDL_GameControllerGetAxis)                                                                   \
    X(SDL_JoystickInstanceID)

struct Sdl {
// NOLINTNEXTLINE(bugprone-macro-parentheses): a name, not an expression
#define BH_SDL_MEMBER(name) decltype(&::name) name = nullptr;
    BH_SDL_FUNCTIONS(BH_SDL_MEMBER)
#undef BH_SDL_MEMBER
};

// Everything that touches SDL, used by one thread only.
class Reading {
public:
    // The mapping file is taken from the environment before SDL starts, to be read below.
    Reading()
    {
        if (const char* file = std::getenv("SDL_GAMECONTROLLERCONFIG_FILE")) {
            mappingFile_ = file;
        }
    }

    bool start();
    void stop();
    std::vector<PadEvent> look(bool awake);
    std::chrono::milliseconds pace(bool awake) const
    {
        return !awake || pads_.empty() ? kRestingPace : held_.empty() ? kPadPace : kHeldPace;
    }

private:
    struct Pad {
        SDL_GameController* controller;
        std::optional<PadDirection> stick;
    };

    void addMappings();
    void handle(const SDL_Event& event, bool listening, std::vector<PadEvent>& out);
    void followStick(int id, Pad& pad, bool listening, std::vector<PadEvent>& out);
    void emit(std::vector<PadEvent>& out, PadEvent event);

    Sdl sdl_;
    bool started_ = false;
    bool wasAwake_ = false;
    std::string mappingFile_;
    std::map<int, Pad> pads_; // by SDL's instance id
    std::set<std::pair<int, PadEvent::Source>> held_;
};

bool Reading::start()
{
    std::string error;
    void* library = sdl_library::open(error);
    bool complete = library != nullptr;
    // A player may have put an older SDL2 in the folder's place.
#define BH_SDL_LOOKUP(name)                                                                        \
    sdl_.name = reinterpret_cast<decltype(sdl_.name)>(sdl_library::function(library, #name));      \
    if (complete && sdl_.name == nullptr) {                                                        \
        error = "its SDL2 has no " #name ", which SDL 2.24 has";                                   \
        complete = false;                                                                          \
    }
    if (library != nullptr) {
        BH_SDL_FUNCTIONS(BH_SDL_LOOKUP)
    }
#undef BH_SDL_LOOKUP
    if (!complete) {
        std::fprintf(stderr, "Brackenholt Config reads no game controllers: %s\n", error.c_str());
        return false;
    }
    // Qt answers the signals that end the program; SDL must not take them over. The mapping
    // file is read below, with a limit, rather than by SDL whole into memory.
    sdl_.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl_.SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "", SDL_HINT_OVERRIDE);
    if (sdl_.SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "Brackenholt Config reads no game controllers: %s\n",
                     sdl_.SDL_GetError());
        return false;
    }
    started_ = true;
    addMappings();
    return true;
}

void Reading::addMappings()
{
    if (mappingFile_.empty()) {
        return;
    }
    const char* name = mappingFile_.c_str();
    std::error_code error;
    // Opening a FIFO would wait for a writer; a device would never end.
    if (!std::filesystem::is_regular_file(mappingFile_, error)) {
        std::fprintf(stderr,
                     "Brackenholt Config reads no controller mappings from %s: not a regular "
                     "file\n",
                     name);
        return;
    }
    std::ifstream file(mappingFile_, std::ios::binary);
    std::string text(kMappingsLimit + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (!file.eof() && text.size() <= kMappingsLimit) {
        std::fprintf(stderr, "Brackenholt Config cannot read the controller mappings in %s\n",
                     name);
        return;
    }
    if (text.size() > kMappingsLimit) {
        // Whole lines only: a mapping cut in half would name the wrong buttons.
        text.resize(text.find_last_of('\n', kMappingsLimit - 1) + 1);
        std::fprintf(stderr,
                     "Brackenholt Config reads only the first %zu MiB of the controller "
                     "mappings in %s\n",
                     kMappingsLimit >> 20, name);
        if (text.empty()) {
            return;
        }
    }
    if (sdl_.SDL_GameControllerAddMappingsFromRW(
            sdl_.SDL_RWFromConstMem(text.data(), static_cast<int>(text.size())), 1) < 0) {
        std::fprintf(stderr, "Brackenholt Config cannot use the controller mappings in %s: %s\n",
                     name, sdl_.SDL_GetError());
    }
}

void Reading::stop()
{
    if (!started_) {
        return;
    }
    for (const auto& [id, pad] : pads_) {
        sdl_.SDL_GameControllerClose(pad.controller);
    }
    pads_.clear();
    sdl_.SDL_Quit(); // ends every subsystem it started
    started_ = false;
}

std::vector<PadEvent> Reading::look(bool awake)
{
    std::vector<PadEvent> out;
    if (!started_) {
        return out;
    }
    sdl_library::dispatchThreadMessages();
    sdl_.SDL_PumpEvents();
    // The first look after the window comes back drops what was pressed before it.
    const bool listening = awake && wasAwake_;
    wasAwake_ = awake;
    if (!listening) {
        held_.clear();
    }
    SDL_Event event;
    while (sdl_.SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        handle(event, listening, out);
    }
    return out;
}

void Reading::handle(const SDL_Event& event, bool listening, std::vector<PadEvent>& out)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        // `which` is a device index here, an instance id in every other event.
        if (SDL_GameController* controller = sdl_.SDL_GameControllerOpen(event.cdevice.which)) {
            const int id =
                sdl_.SDL_JoystickInstanceID(sdl_.SDL_GameControllerGetJoystick(controller));
            if (!pads_.emplace(id, Pad{controller, std::nullopt}).second) {
                sdl_.SDL_GameControllerClose(controller); // already open: SDL counted it twice
            }
        } else {
            std::fprintf(stderr, "Brackenholt Config ignores a game controller: %s\n",
                         sdl_.SDL_GetError());
        }
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (const auto found = pads_.find(event.cdevice.which); found != pads_.end()) {
            sdl_.SDL_GameControllerClose(found->second.controller);
            pads_.erase(found);
            std::erase_if(held_, [&](const auto& h) { return h.first == event.cdevice.which; });
            out.push_back({PadEvent::Kind::Gone, event.cdevice.which});
        }
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (listening) {
            const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
            const int button = event.cbutton.button;
            if (const auto direction = dpadDirection(button)) {
                emit(out, {down ? PadEvent::Kind::Hold : PadEvent::Kind::Release,
                           event.cbutton.which, PadEvent::Source::DPad, *direction});
            } else if (const auto acting = actingButton(button); acting && down) {
                out.push_back({PadEvent::Kind::Press, event.cbutton.which, PadEvent::Source::DPad,
                               PadDirection::Up, *acting});
            }
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
            event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            if (const auto found = pads_.find(event.caxis.which); found != pads_.end()) {
                followStick(found->first, found->second, listening, out);
            }
        }
        break;
    default:
        break;
    }
}

void Reading::followStick(int id, Pad& pad, bool listening, std::vector<PadEvent>& out)
{
    const int x = sdl_.SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = sdl_.SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY);
    const auto push = [x, y](PadDirection d) { // down is positive
        switch (d) {
        case PadDirection::Up:
            return -y;
        case PadDirection::Down:
            return y;
        case PadDirection::Left:
            return -x;
        case PadDirection::Right:
            break;
        }
        return x;
    };
    std::optional<PadDirection> pushed = pad.stick;
    if (pushed && push(*pushed) < kStickLetGo) {
        pushed.reset();
    }
    if (!pushed && std::max(std::abs(x), std::abs(y)) >= kStickPushed) {
        pushed = std::abs(x) > std::abs(y) ? (x > 0 ? PadDirection::Right : PadDirection::Left)
                                           : (y > 0 ? PadDirection::Down : PadDirection::Up);
    }
    if (pushed == pad.stick) {
        return;
    }
    // Not listening, the stick's place is still followed, so that one pushed while the window
    // was away holds nothing until it is let go and pushed again.
    if (listening && pad.stick) {
        emit(out, {PadEvent::Kind::Release, id, PadEvent::Source::Stick, *pad.stick});
    }
    pad.stick = pushed;
    if (listening && pushed) {
        emit(out, {PadEvent::Kind::Hold, id, PadEvent::Source::Stick, *pushed});
    }
}

void Reading::emit(std::vector<PadEvent>& out, PadEvent event)
{
    if (event.kind == PadEvent::Kind::Hold) {
        held_.emplace(event.pad, event.source);
    } else {
        held_.erase({event.pad, event.source});
    }
    out.push_back(event);
}

} // namespace

struct PadReader::Shared {
    Reading reading;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<PadEvent> waiting;
    std::function<void()> ready;
    bool awake = true;
    bool stop = false;
    bool done = false;

    void run();
};

void PadReader::Shared::run()
{
    const bool started = reading.start(); // may never return: SDL opens what it is told to
    std::unique_lock lock(mutex);
    while (started && !stop) {
        const bool wasAwake = awake;
        lock.unlock();
        std::vector<PadEvent> events = reading.look(wasAwake);
        lock.lock();
        if (!events.empty()) {
            const bool tell = waiting.empty();
            waiting.insert(waiting.end(), events.begin(), events.end());
            if (tell && ready) {
                ready();
            }
        }
        changed.wait_for(lock, reading.pace(wasAwake), [&] { return stop || awake != wasAwake; });
    }
    lock.unlock();
    reading.stop();
    lock.lock();
    done = true;
    changed.notify_all();
}

PadReader::PadReader() : shared_(std::make_shared<Shared>()) {}

PadReader::~PadReader()
{
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->ready = nullptr;
    shared_->changed.notify_all();
    if (!thread_.joinable()) {
        lock.unlock();
        shared_->reading.stop();
    } else if (shared_->changed.wait_for(lock, kQuitWait, [this] { return shared_->done; })) {
        lock.unlock();
        thread_.join();
    } else {
        // The thread holds its own share of what it uses; the program's end ends it.
        thread_.detach();
    }
}

void PadReader::startThread(std::function<void()> ready)
{
    if (thread_.joinable()) {
        return;
    }
    shared_->ready = std::move(ready);
    thread_ = std::thread([shared = shared_] { shared->run(); });
}

void PadReader::startHere()
{
    shared_->reading.start();
}

std::vector<PadEvent> PadReader::look()
{
    return shared_->reading.look(shared_->awake);
}

std::vector<PadEvent> PadReader::take()
{
    const std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->waiting, {});
}

void PadReader::setAwake(bool awake)
{
    const std::lock_guard lock(shared_->mutex);
    shared_->awake = awake;
    shared_->changed.notify_all();
}
