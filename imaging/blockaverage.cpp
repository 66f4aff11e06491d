#include "imaging/blockaverage.h"

#include <algorithm>

namespace zul {

BlockSums sumBlock(const PixelView& picture, int x0, int y0, int w, int h) {
    BlockSums s;
    if (picture.empty() || w <= 0 || h <= 0) return s;
    // Clip in 64 bits: x0 + w may not fit an int.
    const int left = static_cast<int>(std::max<std::int64_t>(x0, 0));
    const int top = static_cast<int>(std::max<std::int64_t>(y0, 0));
    const int right = static_cast<int>(std::min<std::int64_t>(std::int64_t(x0) + w, picture.width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(std::int64_t(y0) + h, picture.height));
    if (left >= right || top >= bottom) return s;
    for (int y = top; y < bottom; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(picture.bits + y * picture.stride);
        // A row's sums fit 32 bits up to 16 million pixels; the block's go to 64.
        std::uint64_t r = 0, g = 0, b = 0;
        for (int x = left; x < right; ++x) {
            const std::uint32_t p = row[x];
            r += (p >> 16) & 0xff;
            g += (p >> 8) & 0xff;
            b += p & 0xff;
        }
        s.r += r;
        s.g += g;
        s.b += b;
    }
    s.count = static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
    return s;
}

namespace {

int halfUp(std::uint64_t sum, std::uint64_t count) {
    return static_cast<int>((2 * sum + count) / (2 * count));
}

int halfEven(std::uint64_t sum, std::uint64_t count) {
    const std::uint64_t q = sum / count;
    const std::uint64_t twice = 2 * (sum % count);
    if (twice > count || (twice == count && (q & 1))) return static_cast<int>(q + 1);
    return static_cast<int>(q);
}

} // namespace

Rgb8 averageHalfUp(const BlockSums& s) {
    if (s.count == 0) return {};
    return {halfUp(s.r, s.count), halfUp(s.g, s.count), halfUp(s.b, s.count)};
}

Rgb8 averageHalfEven(const BlockSums& s) {
    if (s.count == 0) return {};
    return {halfEven(s.r, s.count), halfEven(s.g, s.count), halfEven(s.b, s.count)};
}

std::optional<Rgb8> sampleAverage(const PixelView& picture, int x, int y, int halfWidth) {
    const int side = 2 * halfWidth + 1;
    const BlockSums s = sumBlock(picture, x - halfWidth, y - halfWidth, side, side);
    if (s.count == 0) return std::nullopt;
    return averageHalfUp(s);
}

PaletteGrid paletteGrid(int width, int height, int n) {
    PaletteGrid g;
    g.n = n;
    if (n < 1 || width < 1 || height < 1) return g;
    g.columns = width / n;
    g.rows = height / n;
    return g;
}

} // namespace zul
