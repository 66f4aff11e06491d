#pragma once
// The seven batch jobs of "Import" and `zul batch`: what each reads, which entry chain converts a
// record and what it writes.
#include <string_view>
#include <vector>

namespace zul::batch {

// The main window's caption, which heads several outputs and the table.
inline constexpr const char* kWindowCaption = "Chromatel  -";

enum class JobId { Xyz, Munsell, Spectral, Chart, Steps, Checker, Lab };

// The entry chain a record goes through.
enum class Chain { Munsell, Xyz, Lab, Spectral };

// What line 1 of the input is.
enum class FirstLine {
    Record,          // a record like the others
    SkipIfNotRecord, // a heading when it is not a well-formed record, else a record
    Heading,         // always a heading, reused in the output's heading
};

struct Job {
    JobId id;
    const char* code;   // typed at the "Type import" prompt
    const char* name;   // also accepted by `zul batch`
    const char* input;  // default input; nullptr: chosen in the file dialog
    const char* output; // nullptr: records go to the palette file
    FirstLine firstLine;
    Chain chain;
    int freeFields;   // text fields before the colour (the tag for "xyz")
    bool quiet;       // RGB only computed, clipped values kept
    bool counts;      // "Total colors ... Colors not displayed ..." at the end
    bool beep;        // the system beep at the end
    bool allowsEmpty; // an input without records still gives an output
};

// Every job, in the order of the window's code table.
const std::vector<Job>& jobs();
// The window's rule: the exact code, case included ("xyz", "0", "1", "2", "3", "4", "6").
const Job* jobByCode(std::string_view code);
// The command line's: a code or a name ("munsell", "steps", ...).
const Job* jobNamed(std::string_view codeOrName);

} // namespace zul::batch
