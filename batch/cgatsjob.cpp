#include "batch/cgatsjob.h"

namespace zul::batch {

bool readsCgats(const Job& job) {
    return job.id == JobId::Xyz || job.id == JobId::Lab || job.id == JobId::Spectral;
}

bool writesCgats(const Job& job) {
    return job.output && job.id != JobId::Spectral;
}

std::string cgatsToRecords(const Job& job, std::string_view cgats) {
    if (!readsCgats(job)) throw CgatsError(std::string("job ") + job.name + " reads no CGATS");
    const CgatsRecords kind = job.id == JobId::Xyz   ? CgatsRecords::Xyz
                              : job.id == JobId::Lab ? CgatsRecords::Lab
                                                     : CgatsRecords::Spectral;
    return zul::cgatsToRecords(kind, cgats);
}

std::string recordsToCgats(const Job& job, std::string_view table) {
    if (!writesCgats(job)) throw CgatsError(std::string("job ") + job.name + " writes no CGATS");
    CgatsTableLayout layout;
    layout.jobName = job.name;
    switch (job.id) {
    case JobId::Lab:
    case JobId::Steps:
        layout.headingLines = 1;
        break;
    case JobId::Checker:
        layout.headingLines = 3;
        break;
    case JobId::Chart:
        layout.headingLines = 2;
        break;
    default:
        break;
    }
    // The nine results are the last items of a line, but for the Munsell job, where C, M, Y, K
    // follow them.
    layout.trailing = job.id == JobId::Munsell ? 4 : 0;
    layout.idFromFirstField = job.id == JobId::Lab;
    return zul::recordsToCgats(layout, table);
}

} // namespace zul::batch
