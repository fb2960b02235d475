#include "archive_reader.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace kv_archive {

namespace fs = std::filesystem;

bool readArchive(const std::string& path, std::vector<Entry>& entries, std::string& error) {
    std::error_code ec;
    const uint64_t size = fs::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        error = path + ": cannot open the archive";
        return false;
    }
    if (!archive_format::readDirectory(in, size, entries, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool readEntry(const std::string& path, const Entry& entry, std::vector<uint8_t>& bytes,
               std::string& error) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(size_t(entry.size), 0);
    if (!in || !in.seekg(entry.offset) ||
        !in.read(reinterpret_cast<char*>(bytes.data()), entry.size)) {
        error = path + ": cannot read the data of " + entry.name;
        return false;
    }
    return true;
}

namespace {

bool safeRelative(const std::string& name) {
    const fs::path p(name);
    if (p.is_absolute() || p.has_root_name() || p.has_root_directory()) return false;
    for (const fs::path& part : p) {
        if (part == "..") return false;
    }
    return true;
}

// The first symbolic link met on the way from `dir` down to `target`, or an
// empty path. `dir` itself may be a link: the user named it.
fs::path linkOnTheWay(const fs::path& dir, const std::string& name) {
    fs::path at = dir;
    for (const fs::path& part : fs::path(name)) {
        at /= part;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(at, ec))) return at;
    }
    return {};
}

}  // namespace

bool extractArchive(const std::string& path, const std::string& dir, std::string& error) {
    std::vector<Entry> entries;
    if (!readArchive(path, entries, error)) return false;
    std::set<std::string> done;
    for (const Entry& entry : entries) {
        if (!safeRelative(entry.name)) {
            error = path + ": entry \"" + entry.name + "\" would be written outside " + dir;
            return false;
        }
        if (!done.insert(entry.name).second) continue;
        std::vector<uint8_t> bytes;
        if (!readEntry(path, entry, bytes, error)) return false;
        // A link already in the folder would carry the write somewhere else.
        const fs::path link = linkOnTheWay(dir, entry.name);
        if (!link.empty()) {
            error = "will not write " + entry.name + " through the symbolic link " + link.string();
            return false;
        }
        const fs::path target = fs::path(dir) / entry.name;
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (ec || !out) {
            error = "cannot write " + target.string();
            return false;
        }
    }
    return true;
}

bool checkArchive(const std::string& path, size_t& entryCount, std::string& error) {
    std::vector<Entry> entries;
    if (!readArchive(path, entries, error)) return false;
    for (const Entry& entry : entries) {
        std::vector<uint8_t> bytes;
        if (!readEntry(path, entry, bytes, error)) return false;
    }
    entryCount = entries.size();
    return true;
}

}  // namespace kv_archive
