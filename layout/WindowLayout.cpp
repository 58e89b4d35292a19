// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowLayout.h"

namespace bh::layout {

std::vector<Control> controls()
{
    const auto indexed = [](const char* name, int i) {
        return std::string(name) + '(' + std::to_string(i) + ')';
    };
    std::vector<Control> all = {{"imgBase", Kind::Picture, "", kWindow},
                                {"imgDebugON", Kind::Picture, "", kDebugPreview},
                                {"shpMessages", Kind::Panel, "", kMessagePanel},
                                {"selectionMark", Kind::Picture, "", kSelectionMark.at(0)}};
    for (int i = 0; i < kMessageTypeCount; ++i) {
        all.push_back({indexed("lblMessages", i), Kind::MessageName,
                       std::string(kMessageTypeNames[static_cast<std::size_t>(i)]),
                       kMessageLabels.at(i)});
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back({"Label" + std::to_string(c + 1), Kind::Caption,
                       kComponentNames[static_cast<std::size_t>(c)], kComponentCaptions.at(c)});
    }
    for (const CheckBox& box : kCheckBoxes) {
        all.push_back({box.name, Kind::CheckBox, box.caption, box.place});
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back({indexed("scrColor", c), Kind::ColourBar, "", kColourBars.at(c)});
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back(
            {indexed("txtColor", c), Kind::ColourBox, kColourBoxFirstText, kColourBoxes.at(c)});
    }
    all.push_back({"cmdOK", Kind::Button, "OK", kOK});
    return all;
}

} // namespace bh::layout
