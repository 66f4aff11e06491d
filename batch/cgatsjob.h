#pragma once
// Which jobs read or write CGATS with --format cgats, and their tables in the CGATS reader's and
// writer's terms.
#include "batch/jobs.h"
#include "records/cgats.h"

#include <string>
#include <string_view>

namespace zul::batch {

using zul::CgatsError;

bool readsCgats(const Job& job);  // xyz, lab, spectral
bool writesCgats(const Job& job); // the jobs with a comma-separated output table

// The job's input lines from a CGATS file; throws CgatsError (also for a job that reads none).
std::string cgatsToRecords(const Job& job, std::string_view cgats);
// The job's output table as CGATS; throws CgatsError (also for a job that writes none).
std::string recordsToCgats(const Job& job, std::string_view table);

} // namespace zul::batch
