#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "services/archive_format.h"

namespace kv_archive {

using archive_format::Entry;

// Reads and checks the directory of the archive at `path`. On damage
// returns false and `error` names the archive and what is wrong.
bool readArchive(const std::string& path, std::vector<Entry>& entries, std::string& error);

// The stored bytes of one checked entry.
bool readEntry(const std::string& path, const Entry& entry, std::vector<uint8_t>& bytes,
               std::string& error);

// Writes every entry under `dir` by its stored name. Names that would land
// outside `dir` (absolute, with a ".." part, or through a symbolic link
// already inside `dir`) are refused; of two equal names the first is
// extracted, as the game would read it.
bool extractArchive(const std::string& path, const std::string& dir, std::string& error);

// Checks the directory and reads every entry; `entryCount` receives the count.
bool checkArchive(const std::string& path, size_t& entryCount, std::string& error);

}  // namespace kv_archive
