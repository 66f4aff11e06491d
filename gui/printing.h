#pragma once
// Printing on the default printer: an image of a window as shown (the main window's "PRINT")
// or a chart's own painting (vector output). Every failure, a missing printer included, is
// "false"; callers show "Printer not Found".
#include "charts/chartpicture.h"
#include "charts/chartwindow.h"

class QPicture;
class QWidget;

namespace zul {

// Prints an image of `window` as it is shown now, scaled to the page.
bool printWindowImage(QWidget& window);
// Prints the chart's painting, scaled to the page with its aspect kept.
bool printPicture(const ChartPicture& picture);
// What the chart windows print through.
ChartOutput chartOutput();
// A picture of a whole window (for "Save as…" on the main window), drawn in vector where the
// widgets paint vector.
ChartPicture windowPicture(QWidget& window);
// The painting of the whole window as recorded drawing commands.
QPicture windowRecording(QWidget& window);

} // namespace zul
