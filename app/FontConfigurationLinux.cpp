// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FontConfiguration.h"

#include <fontconfig/fontconfig.h>

namespace bh {

namespace {

// Every face the program draws is built in (EB Garamond for the labels, DejaVu Sans for the
// controls), so the configuration names no font folder and includes neither /etc/fonts nor the
// player's files: reading those cost more than a third of the start-up, and a player's
// fonts.conf asking for full hinting or sub-pixel colour would change every caption.
//
// The pattern rules are the rendering a Debian desktop gives out of the box (its
// 10-hinting-slight, 10-yes-antialias and 11-lcdfilter-default), which the window has always
// been drawn with; the sub-pixel order is said outright, so that neither a fonts.conf nor a
// GNOME or Xfce desktop's Xft settings colour the edges. Any family asked for (Qt's "Sans
// Serif" in a message box) ends in the controls' face, so no text falls back to a font the
// system may lack. The font rule is Debian's 20-unhint-small-dejavu-sans, the only one of its
// rules that names one of the two faces.
constexpr char kConfiguration[] = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="pattern">
    <edit name="hintstyle" mode="append"><const>hintslight</const></edit>
    <edit name="antialias" mode="append"><bool>true</bool></edit>
    <edit name="lcdfilter" mode="append"><const>lcddefault</const></edit>
    <edit name="rgba" mode="append"><const>none</const></edit>
    <edit name="family" mode="append_last"><string>DejaVu Sans</string></edit>
  </match>
  <match target="font">
    <test name="family"><string>DejaVu Sans</string></test>
    <test name="pixelsize" compare="less"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
</fontconfig>
)";

} // namespace

void useOwnFontConfiguration()
{
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) {
        return;
    }
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kConfiguration),
                                       FcTrue) == FcTrue) {
        FcConfigSetCurrent(config); // takes a reference of its own, which Qt releases at the end
    }
    FcConfigDestroy(config);
}

} // namespace bh
