// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowLayout.h"

namespace bh::layout {

std::vector<Control> controls()
{
    const auto indexed = [](const char* name, int i) {
        return std::string(name) + '(' + std::to_string(i) + ')';
    };
    std::vector<Control> all = {{Id::imgBase, 0, "imgBase", "", kWindow},
                                {Id::imgDebugON, 0, "imgDebugON", "", kDebugPreview},
                                {Id::shpMessages, 0, "shpMessages", "", kMessagePanel},
                                {Id::selectionMark, 0, "selectionMark", "", kSelectionMark.at(0)}};
    for (int i = 0; i < kMessageTypeCount; ++i) {
        all.push_back({Id::lblMessages, i, indexed("lblMessages", i),
                       std::string(kMessageTypeNames[static_cast<std::size_t>(i)]),
                       kMessageLabels.at(i)});
    }
    const std::array<Id, kComponentCount> captions = {Id::Label1, Id::Label2, Id::Label3};
    for (int c = 0; c < kComponentCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        all.push_back({captions[i], 0, "Label" + std::to_string(c + 1), kComponentNames[i],
                       kComponentCaptions.at(c)});
    }
    for (const CheckBox& box : kCheckBoxes) {
        all.push_back({box.id, 0, box.name, box.caption, box.place});
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back({Id::scrColor, c, indexed("scrColor", c), "", kColourBars.at(c)});
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back(
            {Id::txtColor, c, indexed("txtColor", c), kColourBoxFirstText, kColourBoxes.at(c)});
    }
    all.push_back({Id::cmdOK, 0, "cmdOK", "OK", kOK});
    return all;
}

} // namespace bh::layout
