#pragma once
// CGATS.17 measurement files, the exchange format of measurement and profiling software, read
// and written through Little CMS's IT8 functions. Pure functions over bytes; the one reader of
// spectral fields for every part of the program.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

struct CgatsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The bytes are no CGATS file at all (empty, refused, or the parser's complaint).
struct CgatsParseError : CgatsError {
    using CgatsError::CgatsError;
};

// The spellings of a spectral field, any case, nnn the wavelength in nm (three or four digits).
inline constexpr const char* kSpectralFieldSpellings =
    "SPEC_nnn, SPECTRAL_NMnnn, SPECTRAL_NM_nnn, SPECTRAL_nnn, NM_nnn, nmnnn or Rnnn";
// The wavelength a field names in one of those spellings, or 0.
int spectralFieldWavelength(std::string_view field);

// What a batch job reads from a CGATS file.
enum class CgatsRecords { Xyz, Lab, Spectral };

// The records of a CGATS.17 file as the lines a job reads: xyz from SAMPLE_ID and XYZ_X..XYZ_Z,
// lab from LAB_L..LAB_B, spectral from SAMPLE_ID (and SAMPLE_NAME) and the 40 reflectances
// 360..750 nm in percent (factor files scaled as cgatsSpectra decides). One line per data set,
// in order, without a heading. Throws CgatsError when the file cannot be read or lacks a field
// the job needs.
std::string cgatsToRecords(CgatsRecords kind, std::string_view cgats);

// Where a job's output table keeps what goes into CGATS.
struct CgatsTableLayout {
    std::string jobName;           // in the DESCRIPTOR
    std::size_t headingLines = 0;  // lines before the first record
    std::size_t trailing = 0;      // items after the nine results (C, M, Y, K)
    bool idFromFirstField = false; // SAMPLE_ID is the record's first item, not its number
};

// A job's output table as CGATS.17: SAMPLE_ID, XYZ_X..Z, LAB_L..B, RGB_R..B from each record's
// results. Failed records (empty results) and rows whose values are not all numbers (a damaged
// table) are left out.
std::string recordsToCgats(const CgatsTableLayout& layout, std::string_view table);

// Every data set of a CGATS.17 file with spectral fields, at the wavelengths its fields name
// (evenly spaced, ascending). Throws CgatsError when the file cannot be read, names no
// wavelengths (the message lists the spellings read), or names them unevenly.
struct CgatsSpectra {
    int firstNm = 0, intervalNm = 0;
    std::vector<std::string> fields; // the spectral fields' names, by wavelength
    std::vector<std::string> names;  // SAMPLE_NAME, else SAMPLE_ID, else the set's number
    bool sampleNameField = false;    // the file has a SAMPLE_NAME field
    std::vector<std::vector<std::string>> texts; // the values as written
    std::vector<std::vector<double>> values;     // the same as numbers; NaN where not a number
    // Reflectance factors (0..1) or percent, decided once for the whole file: the keyword
    // SPECTRAL_NORM (1 or 100, what a perfect reflector reads) where the file has it, else
    // percent when any value is above 2 and factors when none is.
    bool factors = false;
    // Says which reading was taken when the file's one sample cannot tell it; else empty.
    std::string scaleNote;
};
CgatsSpectra cgatsSpectra(std::string_view cgats);

} // namespace zul
