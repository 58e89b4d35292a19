// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// How a picture is kept in the program: a 16-byte header, then its pixels, 4 bytes each, row
// after row with no padding, exactly as a QImage of that format holds them in memory. The
// build writes them from the PNGs in resources/, so showing a picture needs no decoding.
namespace bh::stored {

// "BHPX" in the file's first four bytes.
constexpr quint32 kMagic = 0x58504842u;

// All four fields little-endian, like the pixels.
struct Header {
    quint32 magic;
    quint32 width;
    quint32 height;
    quint32 format; // a QImage::Format with 32 bits a pixel
};
static_assert(sizeof(Header) == 16);

} // namespace bh::stored
