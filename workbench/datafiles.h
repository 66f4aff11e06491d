#pragma once
// Where the files the program ships are found: the working directory first, then the data
// folder beside the executable (a build tree), then the installed data folder.
#include <QString>

namespace zul {

// Full path of the shipped data file `name` ("Muncie.dat", "ccnames.csv", "TestImage.jpg").
// When it is nowhere, returns `name` itself so that the caller's error names the file.
QString findDataFile(const QString& name);

// Empty when `path` (as findDataFile gave it) is the copy the program ships; otherwise the line
// that says which file stands in for it: `Muncie.dat: using "/home/u/Muncie.dat", not the
// table the program ships`. A copy in the working folder takes precedence silently otherwise.
QString dataFileNotice(const QString& name, const QString& path);

} // namespace zul
