#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kv_archive {

using FileList = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// Writes an archive holding `files` in the given order: the count, the
// directory, then each file's bytes. Names must be 1 to 79 bytes without a
// NUL, and unique (a reader only ever finds the first of two equal names).
// Returns false with `error` set and leaves no partial archive behind.
bool writeArchive(const std::string& out, const FileList& files, std::string& error);

// Every regular file under `dir`, named by its path relative to `dir` with
// forward slashes, sorted by name byte for byte so that the same tree
// always gives the same archive. The file `skip` names, if it lies there,
// is left out.
bool collectDirectory(const std::string& dir, FileList& files, std::string& error,
                      const std::string& skip = "");

// collectDirectory then writeArchive; `out` itself is never packed.
bool packDirectory(const std::string& out, const std::string& dir, std::string& error);

}  // namespace kv_archive
