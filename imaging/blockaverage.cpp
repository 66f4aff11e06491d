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
        const auto* p =
            reinterpret_cast<const std::uint32_t*>(picture.bits + y * picture.stride) + left;
        for (int n = right - left; n > 0;) {
            // Red and blue side by side in one word: 256 pixels of at most 255 each fill a
            // 16-bit half without carrying into the other.
            const int m = std::min(n, 256);
            std::uint32_t rb = 0, g = 0;
            for (int i = 0; i < m; ++i) {
                rb += p[i] & 0x00ff00ffu;
                g += (p[i] >> 8) & 0xffu;
            }
            s.r += rb >> 16;
            s.b += rb & 0xffffu;
            s.g += g;
            p += m;
            n -= m;
        }
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
