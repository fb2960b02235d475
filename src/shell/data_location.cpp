#include "shell/data_location.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The same place reached two ways (the game started from its own folder)
// is looked at once.
bool samePlace(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

}  // namespace

DataLookup findDataArchive(const std::string& name, const std::string& executableDir,
                           const std::string& dataFromBin) {
    DataLookup lookup;
    std::error_code ec;
    const fs::path here = fs::current_path(ec) / name;
    lookup.places.push_back(here.string());
    if (isFile(name)) {
        lookup.path = name;
        return lookup;
    }
    if (executableDir.empty()) return lookup;
    const fs::path bin(executableDir);
    for (const fs::path& candidate : {bin / name, (bin / dataFromBin / name).lexically_normal()}) {
        bool seen = false;
        for (const std::string& place : lookup.places) seen = seen || samePlace(place, candidate);
        if (seen) continue;
        lookup.places.push_back(candidate.string());
        if (isFile(candidate)) {
            lookup.path = candidate.string();
            return lookup;
        }
    }
    return lookup;
}

std::string describeMissingArchive(const std::string& name, const DataLookup& lookup) {
    std::string text = "Cannot open file " + name + " (looked in ";
    for (size_t i = 0; i < lookup.places.size(); ++i) {
        if (i > 0) text += ", ";
        text += lookup.places[i];
    }
    return text + ")";
}
