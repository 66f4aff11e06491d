// Block sums and averages over raw pixel memory: rounding, the picture's edges, large sums.
#include "imaging/blockaverage.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace zul {
namespace {

constexpr std::uint32_t rgb(int r, int g, int b) {
    return 0xff000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

struct Buffer {
    Buffer(int w, int h, std::uint32_t fill)
        : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    PixelView view() const {
        return {reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height,
                static_cast<std::ptrdiff_t>(width * 4)};
    }
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

TEST(BlockAverage, SampleRoundsHalvesUpOver81Pixels) {
    // Red sums of 4090 and 4091 over a 9 x 9 block: 50.49 and 50.51.
    for (const auto& [sum, expected] : {std::pair{4090, 50}, std::pair{4091, 51}}) {
        Buffer b(20, 20, rgb(50, 0, 255));
        int extra = sum - 50 * 81; // 40 or 41 pixels one brighter
        for (int y = 6; y <= 14 && extra > 0; ++y)
            for (int x = 6; x <= 14 && extra > 0; ++x, --extra)
                b.at(x, y) = rgb(51, 0, 255);
        const auto avg = sampleAverage(b.view(), 10, 10, 4);
        ASSERT_TRUE(avg);
        EXPECT_EQ(avg->r, expected) << sum;
        EXPECT_EQ(avg->g, 0);
        EXPECT_EQ(avg->b, 255);
    }
}

TEST(BlockAverage, HalvesUpForSamplesAndToEvenForPaletteBlocks) {
    // Two pixels: 10 and 11 average 10.5, 11 and 12 average 11.5.
    BlockSums s{21, 23, 1, 2};
    EXPECT_EQ(averageHalfUp(s), (Rgb8{11, 12, 1}));
    EXPECT_EQ(averageHalfEven(s), (Rgb8{10, 12, 0}));
    BlockSums below{20, 22, 3, 2}; // 10, 11, 1.5
    EXPECT_EQ(averageHalfEven(below), (Rgb8{10, 11, 2}));
}

TEST(BlockAverage, HalfWidthZeroReadsTheExactPixel) {
    Buffer b(5, 4, rgb(0, 0, 0));
    b.at(3, 2) = rgb(12, 34, 56);
    EXPECT_EQ(sampleAverage(b.view(), 3, 2, 0), (Rgb8{12, 34, 56}));
    EXPECT_EQ(sampleAverage(b.view(), 2, 2, 0), (Rgb8{0, 0, 0}));
}

TEST(BlockAverage, BlocksAtTheEdgeAverageOnlyPixelsInside) {
    Buffer b(10, 10, rgb(100, 100, 100));
    b.at(0, 0) = rgb(0, 0, 0);
    // h = 4 at the corner: 5 x 5 pixels inside, none of the white beyond the edge.
    const BlockSums s = sumBlock(b.view(), -4, -4, 9, 9);
    EXPECT_EQ(s.count, 25u);
    EXPECT_EQ(s.r, 2400u);
    EXPECT_EQ(sampleAverage(b.view(), 0, 0, 4), (Rgb8{96, 96, 96}));
    EXPECT_EQ(sampleAverage(b.view(), 9, 9, 1), (Rgb8{100, 100, 100}));
    EXPECT_FALSE(sampleAverage(b.view(), 20, 20, 4)); // wholly outside
    EXPECT_EQ(sumBlock(b.view(), 8, 8, 1 << 30, 1 << 30).count, 4u);
}

TEST(BlockAverage, LargeBlocksSumIn64Bits) {
    // One white row seen 5000 times (stride 0): 25 million pixels, red sum 6.4e9 > 2^32.
    const std::vector<std::uint32_t> row(5000, rgb(255, 255, 254));
    const PixelView v{reinterpret_cast<const std::uint8_t*>(row.data()), 5000, 5000, 0};
    const BlockSums s = sumBlock(v, 0, 0, 5000, 5000);
    EXPECT_EQ(s.count, 25'000'000u);
    EXPECT_EQ(s.r, 255ull * 25'000'000u);
    EXPECT_EQ(averageHalfEven(s), (Rgb8{255, 255, 254}));
    EXPECT_EQ(averageHalfUp(s), (Rgb8{255, 255, 254}));
}

TEST(BlockAverage, SumsMatchAPixelByPixelSumForEveryShapeOfBlock) {
    // Widths 1 to 40 (vector steps and every tail), a block wider than the lanes hold a row of,
    // blocks taller than they hold rows of, blocks cut by the edges, rows padded apart.
    std::mt19937 random(26);
    const int width = 1300, height = 700, stride = width + 3;
    std::vector<std::uint32_t> pixels(std::size_t(stride) * height);
    for (std::uint32_t& p : pixels)
        p = random();
    const PixelView v{reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height,
                      static_cast<std::ptrdiff_t>(stride) * 4};
    struct Block {
        int x0, y0, w, h;
    };
    std::vector<Block> blocks = {{0, 0, 1300, 700}, {5, 3, 1100, 2},   {7, 0, 9, 700},
                                 {-3, -2, 6, 5},    {1297, 698, 8, 8}, {1296, 1, 4, 300}};
    for (int w = 1; w <= 40; ++w)
        blocks.push_back({int(random() % 1200), int(random() % 600), w, 1 + int(random() % 80)});
    for (const Block& b : blocks) {
        BlockSums expected;
        for (int y = std::max(b.y0, 0); y < std::min(b.y0 + b.h, height); ++y)
            for (int x = std::max(b.x0, 0); x < std::min(b.x0 + b.w, width); ++x) {
                const std::uint32_t p = pixels[std::size_t(y) * stride + x];
                expected.r += (p >> 16) & 0xff;
                expected.g += (p >> 8) & 0xff;
                expected.b += p & 0xff;
                ++expected.count;
            }
        const BlockSums s = sumBlock(v, b.x0, b.y0, b.w, b.h);
        EXPECT_EQ(std::tie(s.r, s.g, s.b, s.count),
                  std::tie(expected.r, expected.g, expected.b, expected.count))
            << b.x0 << " " << b.y0 << " " << b.w << " x " << b.h;
    }
}

TEST(BlockAverage, GridBlocksSummedRowByRowEqualBlockByBlockSums) {
    // Granularities scalar (1 to 3), vector with every tail, tall enough that the lanes are
    // emptied within a block (n x adds > 256), and wider than the lanes take a row of; ranges
    // within one column, across several, starting and ending part way down a column.
    std::mt19937 random(7);
    const int width = 1100, height = 1040, stride = width + 5;
    std::vector<std::uint32_t> pixels(std::size_t(stride) * height);
    for (std::uint32_t& p : pixels)
        p = random() | 0x00f0f0f0u; // bright, so that any lane overflow shows
    const PixelView v{reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height,
                      static_cast<std::ptrdiff_t>(stride) * 4};
    for (int n : {1, 2, 3, 4, 5, 7, 35, 64, 130, 260, 1030}) {
        const PaletteGrid grid = paletteGrid(width, height, n);
        const std::int64_t total = grid.blocks();
        const std::int64_t cuts[][2] = {{0, total},
                                        {0, std::min<std::int64_t>(1, total)},
                                        {std::min<std::int64_t>(3, total), total / 2},
                                        {total / 3, total - total / 3},
                                        {total - 1, 1}};
        for (const auto& [first, count0] : cuts) {
            // At most 3,000 blocks (several columns even at n = 1), to stay quick.
            const std::int64_t count = std::min({count0, total - first, std::int64_t(3000)});
            if (count <= 0) continue;
            std::vector<BlockSums> sums(static_cast<std::size_t>(count));
            sumGridBlocks(v, grid, first, count, sums.data());
            for (std::int64_t k = first; k < first + count; ++k) {
                const BlockSums e = sumBlock(v, grid.x0(k), grid.y0(k), n, n);
                const BlockSums& s = sums[static_cast<std::size_t>(k - first)];
                ASSERT_EQ(std::tie(s.r, s.g, s.b, s.count), std::tie(e.r, e.g, e.b, e.count))
                    << "n " << n << ", block " << k << " of " << first << " + " << count;
            }
        }
    }
}

TEST(BlockAverage, PaletteGridUsesWholeBlocksColumnByColumn) {
    const PaletteGrid g = paletteGrid(401, 305, 10);
    EXPECT_EQ(g.columns, 40);
    EXPECT_EQ(g.rows, 30);
    EXPECT_EQ(g.blocks(), 1200);
    EXPECT_EQ(g.x0(0), 0);
    EXPECT_EQ(g.y0(0), 0);
    EXPECT_EQ(g.x0(1), 0);
    EXPECT_EQ(g.y0(1), 10);
    EXPECT_EQ(g.x0(30), 10);
    EXPECT_EQ(g.y0(30), 0);
    EXPECT_EQ(g.x0(1199), 390);
    EXPECT_EQ(g.y0(1199), 290);
    EXPECT_EQ(paletteGrid(9, 300, 10).blocks(), 0);
}

} // namespace
} // namespace zul
