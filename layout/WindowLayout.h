// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// The window's caption and where every control stands, in the client area's own pixels, fixed
// over the backdrop as on the game screen. The one statement of the layout: the window makes its
// controls from it and the picture painter paints around it. The tests keep their own copy of
// the figures, so a wrong place here fails them. Standard C++ only, so the painter links it
// without the window.
//
// A control that moves changes, beside its figure here:
//  - the tests' copies: kControls in tests/widget/test_window_layout.cpp, LAYOUT in
//    tests/support/harness.py (the end-to-end scenarios click and look there), and the figures
//    some behaviour tests check (the debug preview's place, the selection mark in the panel's
//    margin) in tests/widget/test_window_behaviour.cpp;
//  - the picture painter, where the backdrop is drawn around a control: tools/control_panel.cpp
//    frames the message panel (logFrame, logRecess), tools/backdrop.cpp draws the debug preview;
//    then the pictures are painted again (cmake --build build --target regenerate-pictures) and
//    the PNGs in resources/ committed with the change;
//  - docs/screenshot.png, taken again.
// A control added or removed also needs its Id below, its member in window/frmMain.h (named as
// the Id) and its line in frmMain::visitMember (window/frmMainLayout.cpp).

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
// index; a member's type decides the widget.
enum class Id {
    imgBase,
    imgDebugON,
    shpMessages,
    selectionMark,
    lblMessages, // a name clicked to edit its type's colour
    Label1,
    Label2,
    Label3,
    chkFullScreen,
    chkDebug,
    chkAntialias,
    chkDither,
    chk16bit,
    chk24bit,
    chk32bit,
    chkWBuffer,
    chkKeepBodies,
    scrColor,
    txtColor,
    cmdOK,
};
inline constexpr int kIdCount = static_cast<int>(Id::cmdOK) + 1; // the last id above, and one

struct CheckBox {
    Id id;
    const char* name;
    const char* caption;
    Place place;
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
    {Id::chkFullScreen, "chkFullScreen", "Full Screen", {392, 24, 185, 25}},
    {Id::chkDebug, "chkDebug", "Debug Info", {392, 56, 185, 25}},
    {Id::chkAntialias, "chkAntialias", "Antialiasing", {392, 88, 185, 25}},
    {Id::chkDither, "chkDither", "Dithering", {392, 120, 185, 25}},
    {Id::chk16bit, "chk16bit", "16-bit", {392, 152, 57, 25}},
    {Id::chk24bit, "chk24bit", "24-bit", {456, 152, 57, 25}},
    {Id::chk32bit, "chk32bit", "32-bit", {520, 152, 57, 25}},
    {Id::chkWBuffer, "chkWBuffer", "W-Buffering", {392, 184, 185, 25}},
    {Id::chkKeepBodies, "chkKeepBodies", "Keep bodies of dead NPCs", {392, 216, 185, 25}},
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
