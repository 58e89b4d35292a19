// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace bh {

// The bytes of the bh.cfg the game folder ships, built in from resources/bh.cfg.
std::string_view shippedSettings();

} // namespace bh
