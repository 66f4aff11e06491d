#pragma once
// The Munsell renotation table: chromaticity x, y (illuminant C) x 10000 as 16-bit integers at
// value levels 0..10, hue index 0..41 (hue number 2.5*h; 0 and 40 are both 10RP) and chroma index
// 0..30 (chroma 2*c). Filled from `Muncie.dat` at value 0..10, hue 0..39, chroma 0..16; hue 40
// copies hue 0; hue 41 and chroma 17..30 stay zero so neighbour lookups never leave the array.
// A zero entry means "no colour here": the first zero ends a hue's chroma run.
#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

namespace zul {

// Illuminant C white point of the table, also the inner corners of the first chroma ring.
inline constexpr float kWhiteX = 0.3101f;
inline constexpr float kWhiteY = 0.3163f;
inline constexpr std::int16_t kWhiteX4 = 3101; // white point x 10000, rounded
inline constexpr std::int16_t kWhiteY4 = 3163;

class RenotationTable {
public:
    static constexpr int kValues = 11, kHues = 42, kChromas = 31;
    static constexpr int kFileHues = 40, kFileChromas = 17;
    static constexpr int kFileNumbers = kValues * kFileHues * kFileChromas * 2; // 14,960

    RenotationTable() { m_t.fill(0); }

    // Stored integer for value v, hue index h, chroma index c, component k (0 = x, 1 = y).
    std::int16_t at(int v, int h, int c, int k) const { return m_t[index(v, h, c, k)]; }
    void set(int v, int h, int c, int k, std::int16_t n) { m_t[index(v, h, c, k)] = n; }

    // Reads the 14,960 numbers of the file layout (value, hue, chroma outermost first; x then
    // y) and completes the table. Throws DataFileError naming `source`, the line and the fault;
    // on any fault the table is left unchanged.
    void load(std::istream& in, const std::string& source = "Muncie.dat");
    void load(const std::filesystem::path& file);

private:
    static constexpr int index(int v, int h, int c, int k) {
        return ((v * kHues + h) * kChromas + c) * 2 + k;
    }
    std::array<std::int16_t, kValues * kHues * kChromas * 2> m_t;
};

// Loads a table once for sharing read-only between callers (workbenches, workers).
std::shared_ptr<const RenotationTable> loadRenotationTable(const std::filesystem::path& file);

} // namespace zul
