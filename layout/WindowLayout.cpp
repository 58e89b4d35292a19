// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowLayout.h"

#include <utility>

namespace bh::layout {

namespace {

Control single(Id id, std::string caption, Place place)
{
    return {id, 0, idName(id), std::move(caption), place};
}

// Item i of a group, named as the group's member and the index: scrColor(0).
Control item(Id id, int i, std::string caption, Place place)
{
    return {id, i, std::string(idName(id)) + '(' + std::to_string(i) + ')', std::move(caption),
            place};
}

} // namespace

std::vector<Control> controls()
{
    std::vector<Control> all = {single(Id::imgBase, "", kWindow),
                                single(Id::imgDebugON, "", kDebugPreview),
                                single(Id::shpMessages, "", kMessagePanel),
                                single(Id::selectionMark, "", kSelectionMark.at(0))};
    for (int i = 0; i < kMessageTypeCount; ++i) {
        all.push_back(item(Id::lblMessages, i,
                           std::string(kMessageTypeNames[static_cast<std::size_t>(i)]),
                           kMessageLabels.at(i)));
    }
    const std::array<Id, kComponentCount> captions = {Id::Label1, Id::Label2, Id::Label3};
    for (int c = 0; c < kComponentCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        all.push_back(single(captions[i], kComponentNames[i], kComponentCaptions.at(c)));
    }
    for (const CheckBox& box : kCheckBoxes) {
        all.push_back(single(box.id, box.caption, box.place));
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back(item(Id::scrColor, c, "", kColourBars.at(c)));
    }
    for (int c = 0; c < kComponentCount; ++c) {
        all.push_back(item(Id::txtColor, c, kColourBoxFirstText, kColourBoxes.at(c)));
    }
    all.push_back(single(Id::cmdOK, "OK", kOK));
    return all;
}

} // namespace bh::layout
