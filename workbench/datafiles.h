#pragma once
// Where the files the program ships are found: the working directory first, then the data
// folder beside the executable (a build tree), then the installed data folder.
#include <QString>

namespace zul {

// Full path of the shipped data file `name` ("Muncie.dat", "ccnames.csv", "TestImage.jpg").
// When it is nowhere, returns `name` itself so that the caller's error names the file.
QString findDataFile(const QString& name);

} // namespace zul
