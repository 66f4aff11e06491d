#pragma once
// Averages of square pixel blocks, the arithmetic behind sampling a picture and cutting it into
// a palette. Plain C++ over the picture's memory, so the window, the command line and the
// benchmarks share it.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zul {

// A picture of 32-bit pixels 0xAARRGGBB in the machine's byte order (alpha ignored), rows
// `stride` bytes apart.
struct PixelView {
    const std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    bool empty() const { return bits == nullptr || width <= 0 || height <= 0; }
    std::uint32_t pixel(int x, int y) const {
        return reinterpret_cast<const std::uint32_t*>(bits + y * stride)[x];
    }
};

struct Rgb8 {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

// Channel sums in 64 bits: a block of a large picture overflows 32.
struct BlockSums {
    std::uint64_t r = 0, g = 0, b = 0;
    std::uint64_t count = 0; // pixels summed
};

// Sums over the pixels of columns x0 .. x0 + w - 1 and rows y0 .. y0 + h - 1 that lie inside the
// picture; the rest of the block is left out, not counted as white or black.
BlockSums sumBlock(const PixelView& picture, int x0, int y0, int w, int h);

// sum / count rounded to the nearest whole number, halves up (sampling).
Rgb8 averageHalfUp(const BlockSums& s);
// sum / count rounded to the nearest whole number, halves to even (palette blocks).
Rgb8 averageHalfEven(const BlockSums& s);

// The sample under the pointer: the (2h + 1) x (2h + 1) block centred on (x, y), averaged over
// its pixels inside the picture, halves up. Nothing when the block misses the picture.
std::optional<Rgb8> sampleAverage(const PixelView& picture, int x, int y, int halfWidth);

// The blocks a palette is cut into: n x n squares from the top-left corner; the pixels right of
// the last whole column and below the last whole row are not used.
struct PaletteGrid {
    int n = 0;
    int columns = 0; // usable width / n
    int rows = 0;    // usable height / n
    std::int64_t blocks() const { return static_cast<std::int64_t>(columns) * rows; }
    // Top-left corner of block k in writing order: column by column, top to bottom.
    int x0(std::int64_t k) const { return static_cast<int>(k / rows) * n; }
    int y0(std::int64_t k) const { return static_cast<int>(k % rows) * n; }
};
// n must be at least 1.
PaletteGrid paletteGrid(int width, int height, int n);

// The sums of `count` blocks of `grid` from block `first` on in writing order, into out[0] ..
// out[count - 1]; the blocks must lie inside the picture the grid was cut from.
void sumGridBlocks(const PixelView& picture, const PaletteGrid& grid, std::int64_t first,
                   std::int64_t count, BlockSums* out);

} // namespace zul
