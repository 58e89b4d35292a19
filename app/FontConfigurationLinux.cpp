// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigFile.h"
#include "FontConfiguration.h"

#include <QString>
#include <algorithm>
#include <fontconfig/fontconfig.h>

namespace bh {

namespace {

// The rendering the window has always been drawn with, a Debian desktop's out of the box (its
// 10-hinting-slight, 10-yes-antialias and 11-lcdfilter-default, with no sub-pixel order), given
// to each face once it is chosen, after any rule of the system's or the player's: a fonts.conf
// asking for full hinting or sub-pixel colour, or a GNOME or Xfce desktop's Xft settings, would
// otherwise change every caption. The last rule is Debian's 20-unhint-small-dejavu-sans, the
// only one of its rules that names one of the two faces. Any family asked for (Qt's "Sans
// Serif" in a message box) ends in the controls' face, so no text needs a font the system may
// lack; and a system's own Garamond never takes the labels from the built-in one.
constexpr char kRendering[] = R"(<?xml version="1.0"?>
<fontconfig>
  <selectfont>
    <rejectfont><pattern><patelt name="family"><string>Garamond</string></patelt></pattern></rejectfont>
  </selectfont>
  <match target="pattern">
    <edit name="family" mode="append_last"><string>DejaVu Sans</string></edit>
  </match>
  <match target="font">
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
    <edit name="lcdfilter" mode="assign"><const>lcddefault</const></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
  </match>
  <match target="font">
    <test name="family"><string>DejaVu Sans</string></test>
    <test name="pixelsize" compare="less"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
</fontconfig>
)";

// The error boxes name the game folder, and the controls' face keeps Latin letters only, up to
// Latin Extended-A (resources/CMakeLists.txt). A folder named in other letters (Cyrillic, Greek,
// Chinese...) needs the system's fonts for the box to be read.
bool builtInFacesShowFolder()
{
    const QString folder = programFolder();
    return std::all_of(folder.cbegin(), folder.cend(),
                       [](QChar c) { return c.unicode() <= 0x017F; });
}

} // namespace

void useOwnFontConfiguration()
{
    // Every face the window draws is built in, so the program's own configuration names no font
    // folder and includes neither /etc/fonts nor the player's files: reading them cost nearly
    // half of the start-up.
    FcConfig* config = builtInFacesShowFolder() ? FcConfigCreate() : FcInitLoadConfig();
    if (config == nullptr) {
        return;
    }
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kRendering),
                                       FcTrue) == FcTrue) {
        // Lists the fonts, now that every rule is read, and takes a reference of its own, which
        // Qt releases at the end.
        FcConfigSetCurrent(config);
    }
    FcConfigDestroy(config);
}

} // namespace bh
