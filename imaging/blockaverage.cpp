#include "imaging/blockaverage.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zul {

namespace {

#if defined(__SSE2__)
// Sums of each channel of two pixels in 16-bit lanes, one vector for the first two of four
// pixels and one for the last two. A lane takes 257 additions of 255 without overflowing; the
// lanes go to the 64-bit sums before that.
class LaneSums {
public:
    static constexpr int kMaxAdds = 256;

    void add(__m128i pixels) {
        const __m128i zero = _mm_setzero_si128();
        m_low = _mm_add_epi16(m_low, _mm_unpacklo_epi8(pixels, zero));
        m_high = _mm_add_epi16(m_high, _mm_unpackhi_epi8(pixels, zero));
    }
    // Four pixels of which only the last `keep` (1..3) count.
    void addLast(__m128i pixels, int keep) {
        const __m128i ones = _mm_set1_epi32(-1);
        const __m128i lanes = keep == 1   ? _mm_slli_si128(ones, 12)
                              : keep == 2 ? _mm_slli_si128(ones, 8)
                                          : _mm_slli_si128(ones, 4);
        add(_mm_and_si128(pixels, lanes));
    }
    void flush(BlockSums& s) {
        // Lanes in memory order of the bytes of 0xAARRGGBB: blue, green, red, alpha.
        alignas(16) std::uint16_t low[8], high[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(low), m_low);
        _mm_store_si128(reinterpret_cast<__m128i*>(high), m_high);
        for (int i = 0; i < 8; i += 4) {
            s.b += std::uint64_t(low[i]) + high[i];
            s.g += std::uint64_t(low[i + 1]) + high[i + 1];
            s.r += std::uint64_t(low[i + 2]) + high[i + 2];
        }
        m_low = m_high = _mm_setzero_si128();
    }

private:
    __m128i m_low = _mm_setzero_si128();
    __m128i m_high = _mm_setzero_si128();
};
#endif

// Adds the n pixels from p on (scalar, for the rows vectors do not fit).
void addPixels(const std::uint32_t* p, int n, BlockSums& s) {
    while (n > 0) {
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

} // namespace

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
    const int width = right - left;
#if defined(__SSE2__)
    if (width >= 4) {
        // Four pixels a step; a row's last 1 to 3 pixels as the tail of its last four.
        const int quads = width / 4;
        const int tail = width % 4;
        const int addsPerRow = quads + (tail ? 1 : 0);
        LaneSums lanes;
        int adds = 0;
        for (int y = top; y < bottom; ++y) {
            const auto* p =
                reinterpret_cast<const std::uint32_t*>(picture.bits + y * picture.stride) + left;
            if (addsPerRow > LaneSums::kMaxAdds) {
                addPixels(p, width, s); // a very wide block: row by row
                continue;
            }
            if (adds + addsPerRow > LaneSums::kMaxAdds) {
                lanes.flush(s);
                adds = 0;
            }
            for (int i = 0; i < quads; ++i)
                lanes.add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i)));
            if (tail)
                lanes.addLast(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + width - 4)),
                              tail);
            adds += addsPerRow;
        }
        lanes.flush(s);
        s.count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bottom - top);
        return s;
    }
#endif
    for (int y = top; y < bottom; ++y)
        addPixels(reinterpret_cast<const std::uint32_t*>(picture.bits + y * picture.stride) + left,
                  width, s);
    s.count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bottom - top);
    return s;
}

void prefetchBlock(const PixelView& picture, int x0, int y0, int n) {
#if defined(__GNUC__)
    if (picture.empty() || n <= 0 || x0 < 0 || y0 < 0 || x0 >= picture.width) return;
    const int right = static_cast<int>(std::min<std::int64_t>(std::int64_t(x0) + n, picture.width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(std::int64_t(y0) + n, picture.height));
    constexpr std::uintptr_t kLine = 64;
    for (int y = y0; y < bottom; ++y) {
        const std::uint8_t* row = picture.bits + y * picture.stride;
        const auto first =
            reinterpret_cast<std::uintptr_t>(row + 4 * std::ptrdiff_t(x0)) & ~(kLine - 1);
        const auto last = reinterpret_cast<std::uintptr_t>(row + 4 * std::ptrdiff_t(right) - 1);
        for (std::uintptr_t a = first; a <= last; a += kLine)
            __builtin_prefetch(reinterpret_cast<const void*>(a));
    }
#else
    (void)picture, (void)x0, (void)y0, (void)n;
#endif
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
