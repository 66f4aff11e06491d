#pragma once
// The main window's "Import" and "Make Table" commands: the prompts, a progress dialog for long
// jobs, one summary message, and the last converted record shown in the workbench afterwards.
#include "batch/jobchooser.h"
#include "batch/runner.h"
#include "workbench/workbench.h"

#include <functional>
#include <optional>

class QWidget;

namespace zul::batch {

// "Import": asks for the job code ("Type import"); an unknown code or a cancelled prompt does
// nothing. Then the input (file dialog for the jobs without a fixed one), the palette name if
// the job needs one and none is set; runs the job on the pipeline's workers with a window-modal
// progress dialog (shown after half a second, with Cancel). Returns the report of a job that
// ran, nullopt when none was started.
// With `choose` (the window's job chooser, given the palette name known so far) the job, its
// input and its output come from there instead of the prompts.
using ImportChooser = std::function<std::optional<ImportChoice>(const QString& paletteName)>;
std::optional<BatchReport> runImport(Workbench& workbench, QWidget* parent = nullptr,
                                     const ImportChooser& choose = {});

// Makes the workbench show `record` of `job` as it would after typing it in.
void showRecord(Workbench& workbench, const Job& job, const Record& record);

// "Make Table": writes "muntable2.prn" under the workbench's settings and says "Done", or why
// nothing was written. True when the table was written. With `file` (chosen in the window's
// save dialog) the table goes there and "Done" names it with its whole path.
bool runMakeTable(Workbench& workbench, const QString& file = QString());

} // namespace zul::batch
