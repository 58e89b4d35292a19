// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// The window's caption and where every control stands, in the client area's own pixels, fixed
// over the backdrop as on the game screen. The one statement of the layout: the window makes its
// controls from it and the picture painter paints around it. The tests keep their own copy of
// the figures (tests/support/layout_figures.json), so a wrong place here fails them. Standard
// C++ only, so the painter links it without the window.
//
// What else a control's move, or a new control, touches is in docs/developing.md, step by step.

#include "ConfigRecord.h"

#include <array>
#include <string>
#include <vector>

namespace bh::layout {

struct Place {
    int left, top, width, height;
};

// A row of like controls: the first at `first`, each next one `dx`, `dy` further on.
struct Series {
    Place first;
    int dx, dy;

    constexpr Place at(int i) const
    {
        return {first.left + dx * i, first.top + dy * i, first.width, first.height};
    }
};

// Which of the window's controls a row makes. The window fills one member for each, named as the
// id is, or for a group (lblMessages, scrColor, txtColor) one item of an array, a row for each
// index; a member's type decides the widget. The control's object name is the id's own spelling
// too: the one list below gives the ids and their names, so no name is typed twice.
// clang-format off
#define BH_LAYOUT_IDS(X)                                                                           \
    X(imgBase) X(imgDebugON) X(shpMessages) X(selectionMark)                                       \
    X(lblMessages) /* a name clicked to edit its type's colour */                                  \
    X(Label1) X(Label2) X(Label3)                                                                  \
    X(chkFullScreen) X(chkDebug) X(chkAntialias) X(chkDither)                                      \
    X(chk16bit) X(chk24bit) X(chk32bit) X(chkWBuffer) X(chkKeepBodies)                             \
    X(scrColor) X(txtColor) X(cmdOK)
#define BH_LAYOUT_ID(id) id,
#define BH_LAYOUT_NAME(id) #id,
enum class Id { BH_LAYOUT_IDS(BH_LAYOUT_ID) };
inline constexpr std::array kIdNames = {BH_LAYOUT_IDS(BH_LAYOUT_NAME)};
#undef BH_LAYOUT_NAME
#undef BH_LAYOUT_ID
#undef BH_LAYOUT_IDS
// clang-format on
inline constexpr int kIdCount = static_cast<int>(kIdNames.size());

constexpr const char* idName(Id id)
{
    return kIdNames.at(static_cast<std::size_t>(id));
}

struct CheckBox {
    Id id;
    const char* caption;
    Place place;
    const char* name = idName(id);
};

// The title bar's caption, also the title of the program's error boxes.
inline constexpr char kCaption[] = "Brackenholt Config";
inline constexpr Place kWindow{0, 0, 640, 480};
inline constexpr Place kDebugPreview{0, 0, 199, 105};
inline constexpr Place kMessagePanel{16, 80, 225, 241};
// Labels are exactly as wide as their captions (that width is what takes a click), so their
// width is left 0 here and comes from the font.
inline constexpr Series kMessageLabels{{24, 88, 0, 14}, 0, 16};
// The mark beside the name being edited, once a type has been chosen with the keyboard: in the
// panel's margin, a pixel clear of its border, level with the middle of name i.
inline constexpr Series kSelectionMark{{18, 92, 4, 7}, 0, 16};
inline constexpr Series kComponentCaptions{{128, 248, 0, 13}, 0, 24};
inline constexpr std::array<const char*, kComponentCount> kComponentNames = {"Red", "Green",
                                                                             "Blue"};
// The controls the player operates, in tab order: check boxes, bars, boxes, OK.
inline constexpr std::array<CheckBox, 9> kCheckBoxes = {{
    {Id::chkFullScreen, "Full Screen", {392, 24, 185, 25}},
    {Id::chkDebug, "Debug Info", {392, 56, 185, 25}},
    {Id::chkAntialias, "Antialiasing", {392, 88, 185, 25}},
    {Id::chkDither, "Dithering", {392, 120, 185, 25}},
    {Id::chk16bit, "16-bit", {392, 152, 57, 25}},
    {Id::chk24bit, "24-bit", {456, 152, 57, 25}},
    {Id::chk32bit, "32-bit", {520, 152, 57, 25}},
    {Id::chkWBuffer, "W-Buffering", {392, 184, 185, 25}},
    {Id::chkKeepBodies, "Keep bodies of dead NPCs", {392, 216, 185, 25}},
}};
inline constexpr Series kColourBars{{128, 96, 25, 137}, 32, 0};
inline constexpr Series kColourBoxes{{176, 248, 41, 19}, 0, 24};
inline constexpr const char* kColourBoxFirstText = "255";
inline constexpr Place kOK{456, 296, 105, 25};

// Every control, bottom of the stack first, and the operable ones in tab order: the window
// creates, names, places, stacks and chains its controls by this list alone. index is the item of
// a group, 0 for a control of its own; name is the control's object name; caption is the text it
// shows on creation, if it shows one.
struct Control {
    Id id;
    int index;
    std::string name;
    std::string caption;
    Place place;
};

std::vector<Control> controls();

} // namespace bh::layout
