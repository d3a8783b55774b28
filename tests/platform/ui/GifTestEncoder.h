#pragma once

// A small GIF writer for tests, independent of the decoder's library: colour tables, graphic
// control blocks, the looping block, interlacing, and LZW data made only of literal codes (a clear
// code before the code width would grow), which every decoder must read.

#include "platform/foundation/Data.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zvtest {

struct GifColor {
    std::uint8_t r, g, b;
};

struct GifTestFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices; // width * height, rows top to bottom
    bool control = true; // write a graphic control block
    int delay = 0; // centiseconds
    int disposal = 0;
    int transparentIndex = -1;
    bool interlaced = false;
    std::vector<GifColor> localColors; // empty: the global table
};

struct GifTestImage {
    int width = 0, height = 0;
    std::vector<GifColor> globalColors;
    std::optional<int> loopCount;
    std::vector<GifTestFrame> frames;
};

namespace gifdetail {

inline void put16(Data& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Writes the table padded to a power of two; returns the size field (log2(entries) - 1).
inline int tableSizeField(std::size_t count)
{
    int field = 0;
    while ((std::size_t(2) << field) < count)
        ++field;
    return field;
}

inline void putTable(Data& out, const std::vector<GifColor>& colors)
{
    std::size_t entries = std::size_t(2) << tableSizeField(colors.size());
    for (std::size_t i = 0; i < entries; ++i) {
        GifColor c = i < colors.size() ? colors[i] : GifColor { 0, 0, 0 };
        out.insert(out.end(), { c.r, c.g, c.b });
    }
}

inline void putImageData(Data& out, const std::vector<std::uint8_t>& pixels, int tableField)
{
    int minCodeSize = std::max(2, tableField + 1);
    int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    Data packed;
    std::uint32_t buffer = 0;
    int bits = 0;
    auto emit = [&](int code) {
        buffer |= std::uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    emit(clear);
    int run = 0;
    for (std::uint8_t pixel : pixels) {
        emit(pixel);
        if (++run == clear - 2) {
            emit(clear);
            run = 0;
        }
    }
    emit(clear + 1);
    if (bits > 0)
        packed.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + at, packed.begin() + at + n);
    }
    out.push_back(0);
}

inline std::vector<std::uint8_t> interlacedOrder(const GifTestFrame& frame)
{
    std::vector<std::uint8_t> rows;
    const int starts[] = { 0, 4, 2, 1 };
    const int steps[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = starts[pass]; row < frame.height; row += steps[pass])
            rows.insert(rows.end(), frame.indices.begin() + row * frame.width,
                frame.indices.begin() + (row + 1) * frame.width);
    }
    return rows;
}

}

inline Data encodeGif(const GifTestImage& image)
{
    using namespace gifdetail;
    Data out = { 'G', 'I', 'F', '8', '9', 'a' };
    put16(out, image.width);
    put16(out, image.height);
    int globalField = tableSizeField(image.globalColors.size());
    out.push_back(static_cast<std::uint8_t>(image.globalColors.empty() ? 0 : 0x80 | 0x70 | globalField));
    out.push_back(0); // background index
    out.push_back(0); // aspect
    if (!image.globalColors.empty())
        putTable(out, image.globalColors);
    if (image.loopCount) {
        std::string id = "NETSCAPE2.0";
        out.insert(out.end(), { 0x21, 0xFF, 11 });
        out.insert(out.end(), id.begin(), id.end());
        out.insert(out.end(), { 3, 1 });
        put16(out, *image.loopCount);
        out.push_back(0);
    }
    for (const GifTestFrame& frame : image.frames) {
        if (frame.control) {
            out.insert(out.end(), { 0x21, 0xF9, 4 });
            out.push_back(
                static_cast<std::uint8_t>((frame.disposal << 2) | (frame.transparentIndex >= 0 ? 1 : 0)));
            put16(out, frame.delay);
            out.push_back(
                static_cast<std::uint8_t>(frame.transparentIndex >= 0 ? frame.transparentIndex : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, frame.left);
        put16(out, frame.top);
        put16(out, frame.width);
        put16(out, frame.height);
        int field = frame.localColors.empty() ? globalField : tableSizeField(frame.localColors.size());
        std::uint8_t packed = frame.interlaced ? 0x40 : 0;
        if (!frame.localColors.empty())
            packed |= 0x80 | field;
        out.push_back(packed);
        if (!frame.localColors.empty())
            putTable(out, frame.localColors);
        putImageData(out, frame.interlaced ? interlacedOrder(frame) : frame.indices, field);
    }
    out.push_back(0x3B);
    return out;
}

}
