// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourCheck.h"

namespace bh {
namespace {

LinearRgb seenWithAsLinear(Vision vision, const Colour& colour)
{
    const LinearRgb linear = sRGBToLinear(colour);
    switch (vision) {
    case Vision::Protanopia:
        return simulateDichromacy(Dichromacy::Protanopia, linear);
    case Vision::Deuteranopia:
        return simulateDichromacy(Dichromacy::Deuteranopia, linear);
    case Vision::Tritanopia:
        return simulateDichromacy(Dichromacy::Tritanopia, linear);
    case Vision::Normal:
        break;
    }
    return linear;
}

} // namespace

Colour seenWith(Vision vision, const Colour& colour)
{
    return linearToSRGB(seenWithAsLinear(vision, colour));
}

Lab seenWithAsLab(Vision vision, const Colour& colour)
{
    return xyzToLab(linearRgbToXyz(seenWithAsLinear(vision, colour)));
}

ColourCheckResult checkColours(const MessageColours& colours)
{
    ColourCheckResult result;
    for (std::size_t type = 0; type < colours.size(); ++type) {
        const double contrast = contrastRatio(colours[type], kPanelGrey);
        result.contrast[type] = {contrast, contrast < kReadableContrast};
    }
    for (std::size_t vision = 0; vision < result.lookAlike.size(); ++vision) {
        std::array<Lab, kMessageTypeCount> seen{};
        for (std::size_t type = 0; type < colours.size(); ++type) {
            seen[type] = seenWithAsLab(static_cast<Vision>(vision), colours[type]);
        }
        for (int first = 0; first < kMessageTypeCount; ++first) {
            for (int second = first + 1; second < kMessageTypeCount; ++second) {
                const double difference = CIEDE2000(seen.at(static_cast<std::size_t>(first)),
                                                    seen.at(static_cast<std::size_t>(second)));
                if (difference < kLookAlikeDifference) {
                    result.lookAlike[vision].push_back({first, second, difference});
                }
            }
        }
    }
    return result;
}

} // namespace bh
