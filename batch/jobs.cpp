#include "batch/jobs.h"

namespace zul::batch {

const std::vector<Job>& jobs() {
    // clang-format off
    static const std::vector<Job> table = {
        // id            code   name        input            output                   line 1                       chain            free quiet  counts beep   empty ok
        {JobId::Xyz,      "xyz", "xyz",      nullptr,         nullptr,                 FirstLine::SkipIfNotRecord, Chain::Xyz,      1,   false, false, false, true},
        {JobId::Lab,      "6",   "lab",      "lab_sRGB.csv",  "lab_sRGB.txt",          FirstLine::SkipIfNotRecord, Chain::Lab,      0,   false, false, false, true},
        {JobId::Munsell,  "0",   "munsell",  nullptr,         "tempOUT.txt",           FirstLine::SkipIfNotRecord, Chain::Munsell,  0,   false, false, false, true},
        {JobId::Steps,    "3",   "steps",    "steps.txt",     "stepsMUNSELL.txt",      FirstLine::Record,          Chain::Munsell,  0,   true,  true,  false, false},
        {JobId::Checker,  "4",   "checker",  "ccnames.csv",   "cchecker.csv",          FirstLine::Heading,         Chain::Munsell,  2,   true,  true,  false, false},
        {JobId::Chart,    "2",   "chart",    "RHScolors.txt", "RHScolorsMUNSELL.txt",  FirstLine::Heading,         Chain::Munsell,  3,   true,  true,  false, false},
        {JobId::Spectral, "1",   "spectral", "munfile1.txt",  "munout.txt",            FirstLine::Record,          Chain::Spectral, 3,   false, false, true,  true},
    };
    // clang-format on
    return table;
}

const Job* jobByCode(std::string_view code) {
    for (const Job& j : jobs())
        if (code == j.code) return &j;
    return nullptr;
}

const Job* jobNamed(std::string_view codeOrName) {
    if (const Job* j = jobByCode(codeOrName)) return j;
    for (const Job& j : jobs())
        if (codeOrName == j.name) return &j;
    return nullptr;
}

} // namespace zul::batch
