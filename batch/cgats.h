#pragma once
// CGATS.17 measurement files, the exchange format of measurement and profiling software, read
// and written through Little CMS's IT8 functions. Pure functions over bytes.
#include "batch/jobs.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zul::batch {

struct CgatsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Whether a job reads, or writes, CGATS with --format cgats.
bool readsCgats(const Job& job);  // xyz, lab, spectral
bool writesCgats(const Job& job); // the jobs with a comma-separated output table

// The records of a CGATS.17 file as the lines the job reads: xyz from SAMPLE_ID and
// XYZ_X..XYZ_Z, lab from LAB_L..LAB_B, spectral from SAMPLE_ID (and SAMPLE_NAME) and the 40
// reflectances 360..750 nm (SPECTRAL_NM360, SPECTRAL_NM_360, SPECTRAL_360 or NM360). One line
// per data set, in order, without a heading. Throws CgatsError when the file cannot be read or
// lacks a field the job needs.
std::string cgatsToRecords(const Job& job, std::string_view cgats);

// A job's output table as CGATS.17: SAMPLE_ID (the record number), XYZ_X..Z, LAB_L..B,
// RGB_R..B from each record's results. Failed records (empty results) and rows whose values are
// not all numbers (a damaged table) are left out.
std::string recordsToCgats(const Job& job, std::string_view table);

// Every data set of a CGATS.17 file with spectral fields, at the wavelengths its fields name
// (evenly spaced, ascending): the sample's name (SAMPLE_NAME, else SAMPLE_ID, else its number)
// and its values as written. Throws CgatsError when the file cannot be read, names no
// wavelengths, or names them unevenly; a value that is not a number reads as NaN.
struct CgatsSpectra {
    int firstNm = 0, intervalNm = 0;
    std::vector<std::string> names;
    std::vector<std::vector<double>> values;
};
CgatsSpectra cgatsSpectra(std::string_view cgats);

} // namespace zul::batch
