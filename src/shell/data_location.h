#pragma once
#include <string>
#include <vector>

// Where the data archive was found, and every place that was looked at.
struct DataLookup {
    std::string path;  // empty when no place has it
    std::vector<std::string> places;
};

// Looks for the archive `name` in the current directory first, then beside
// the executable in `executableDir`, then in the installed data folder
// (`dataFromBin` relative to `executableDir`, so that a package and an
// install under any prefix both find it). A hit in the current directory is
// `name` itself. `executableDir` may be empty when it is not known.
DataLookup findDataArchive(const std::string& name, const std::string& executableDir,
                           const std::string& dataFromBin);

// "Cannot open file NAME (looked in A, B, C)", for the fatal report.
std::string describeMissingArchive(const std::string& name, const DataLookup& lookup);
