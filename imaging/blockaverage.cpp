#include "imaging/blockaverage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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
    // The pixels of one row of a block at least four wide: four a step, the last 1 to 3 as the
    // tail of the row's last four. Takes addsFor(width) additions.
    static int addsFor(int width) { return width / 4 + (width % 4 ? 1 : 0); }
    void addRow(const std::uint32_t* p, int width) {
        const int quads = width / 4;
        for (int i = 0; i < quads; ++i)
            add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i)));
        if (const int tail = width % 4)
            addLast(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + width - 4)), tail);
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
    s.count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bottom - top);
    auto row = [&](int y) {
        return reinterpret_cast<const std::uint32_t*>(picture.bits + y * picture.stride) + left;
    };
#if defined(__SSE2__)
    const int addsPerRow = LaneSums::addsFor(width);
    if (width >= 4 && addsPerRow <= LaneSums::kMaxAdds) {
        LaneSums lanes;
        int adds = 0;
        for (int y = top; y < bottom; ++y) {
            if (adds + addsPerRow > LaneSums::kMaxAdds) {
                lanes.flush(s);
                adds = 0;
            }
            lanes.addRow(row(y), width);
            adds += addsPerRow;
        }
        lanes.flush(s);
        return s;
    }
#endif
    for (int y = top; y < bottom; ++y)
        addPixels(row(y), width, s); // narrow blocks, and very wide ones row by row
    return s;
}

void sumGridBlocks(const PixelView& picture, const PaletteGrid& grid, std::int64_t first,
                   std::int64_t count, BlockSums* out) {
    if (count <= 0 || first < 0 || grid.rows <= 0) return;
    const int n = grid.n;
    const std::int64_t rows = grid.rows;
    const std::int64_t last = first + count - 1;
    const int firstColumn = static_cast<int>(first / rows);
    const int lastColumn = static_cast<int>(last / rows);
    // The range's first column holds the block rows from `top0` on, its last those before
    // `bottom1`; the columns between hold them all.
    const int top0 = static_cast<int>(first % rows);
    const int bottom1 = static_cast<int>(last % rows) + 1;
    const bool oneColumn = firstColumn == lastColumn;
    const auto pixels = static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(n);
    for (std::int64_t i = 0; i < count; ++i)
        out[i] = BlockSums{0, 0, 0, pixels};
#if defined(__SSE2__)
    const bool vectors = n >= 4 && LaneSums::addsFor(n) <= LaneSums::kMaxAdds;
    const int rowsPerFlush = vectors ? LaneSums::kMaxAdds / LaneSums::addsFor(n) : 0;
    std::vector<LaneSums> lanes(vectors ? static_cast<std::size_t>(lastColumn - firstColumn + 1)
                                        : 0);
#endif
    // Picture rows in order, each across the columns of the range: the memory is read the way it
    // lies, instead of a column of blocks whose rows lie a whole picture row apart. Each row's
    // part lies in a page of its own, where the processor's own prefetching barely starts: the
    // part a few rows down is asked for while this one is summed.
    constexpr int kRowsAhead = 3;
    const int top = oneColumn ? top0 : 0;
    const int bottom = oneColumn ? bottom1 : static_cast<int>(rows);
    const int lastRow = bottom * n - 1;
    for (int br = top; br < bottom; ++br) {
        const int from = br < top0 ? firstColumn + 1 : firstColumn;
        const int to = br >= bottom1 ? lastColumn - 1 : lastColumn;
        BlockSums* const sums = out + (static_cast<std::int64_t>(from) * rows + br - first);
        const std::ptrdiff_t spanFrom = static_cast<std::ptrdiff_t>(from) * n * 4;
        const std::ptrdiff_t spanTo = static_cast<std::ptrdiff_t>(to + 1) * n * 4;
        for (int dy = 0; dy < n; ++dy) {
            const int y = br * n + dy;
            const auto* line = reinterpret_cast<const std::uint32_t*>(
                picture.bits + static_cast<std::ptrdiff_t>(y) * picture.stride);
#if defined(__GNUC__)
            if (y + kRowsAhead <= lastRow) {
                const std::uint8_t* ahead =
                    picture.bits + static_cast<std::ptrdiff_t>(y + kRowsAhead) * picture.stride;
                for (std::ptrdiff_t a = spanFrom; a < spanTo; a += 64)
                    __builtin_prefetch(ahead + a);
                __builtin_prefetch(ahead + spanTo - 1);
            }
#endif
#if defined(__SSE2__)
            if (vectors) {
                const bool flushFirst = dy > 0 && dy % rowsPerFlush == 0;
                const bool blockDone = dy == n - 1;
                for (int c = from; c <= to; ++c) {
                    BlockSums& s = sums[static_cast<std::int64_t>(c - from) * rows];
                    // A copy the compiler keeps in registers: the pixel loads may alias memory.
                    LaneSums l = lanes[static_cast<std::size_t>(c - firstColumn)];
                    if (flushFirst) l.flush(s);
                    l.addRow(line + static_cast<std::ptrdiff_t>(c) * n, n);
                    if (blockDone) l.flush(s);
                    lanes[static_cast<std::size_t>(c - firstColumn)] = l;
                }
                continue;
            }
#endif
            for (int c = from; c <= to; ++c)
                addPixels(line + static_cast<std::ptrdiff_t>(c) * n, n,
                          sums[static_cast<std::int64_t>(c - from) * rows]);
        }
    }
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
