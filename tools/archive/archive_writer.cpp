#include "archive_writer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>

#include "services/archive_format.h"

namespace kv_archive {

namespace fs = std::filesystem;
using archive_format::kEntrySize;
using archive_format::kMaxNameLength;
using archive_format::kNameField;

namespace {

bool checkNames(const FileList& files, std::string& error) {
    std::set<std::string> seen;
    for (const auto& [name, bytes] : files) {
        if (name.empty()) {
            error = "an empty file name cannot be stored";
            return false;
        }
        if (name.size() > kMaxNameLength) {
            error = "name \"" + name + "\" is " + std::to_string(name.size()) +
                    " bytes long; at most " + std::to_string(kMaxNameLength) + " fit";
            return false;
        }
        if (name.find('\0') != std::string::npos) {
            error = "name \"" + name + "\" contains a NUL byte";
            return false;
        }
        if (!seen.insert(name).second) {
            error = "name \"" + name + "\" appears twice";
            return false;
        }
    }
    return true;
}

// Whether `path` names the file `other` names (through links and "..").
bool isSameFile(const fs::path& path, const std::string& other) {
    if (other.empty()) return false;
    std::error_code ec;
    const bool same = fs::equivalent(path, other, ec);
    return !ec && same;
}

}  // namespace

bool writeArchive(const std::string& out, const FileList& files, std::string& error) {
    if (!checkNames(files, error)) return false;
    // Offsets and sizes are signed 32-bit in the directory.
    constexpr uint64_t kLimit = uint64_t(std::numeric_limits<int32_t>::max());
    uint64_t offset = archive_format::kCountSize + kEntrySize * uint64_t(files.size());
    if (files.size() > kLimit) {
        error = "too many files";
        return false;
    }
    std::vector<uint8_t> header(size_t(offset), 0);
    archive_format::writeLE32(header.data(), int32_t(files.size()));
    uint8_t* entry = header.data() + archive_format::kCountSize;
    for (const auto& [name, bytes] : files) {
        if (offset + bytes.size() > kLimit) {
            error = "archive would exceed 2 GiB at \"" + name + "\"";
            return false;
        }
        std::copy(name.begin(), name.end(), entry);
        archive_format::writeLE32(entry + kNameField, int32_t(offset));
        archive_format::writeLE32(entry + kNameField + 4, int32_t(bytes.size()));
        offset += bytes.size();
        entry += kEntrySize;
    }

    const std::string temp = out + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) {
            error = "cannot create " + temp;
            return false;
        }
        file.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
        for (const auto& [name, bytes] : files) {
            file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        file.close();
        if (!file) {
            error = "cannot write " + temp;
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, out, ec);
    if (ec) {
        error = "cannot rename " + temp + " to " + out + ": " + ec.message();
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool collectDirectory(const std::string& dir, FileList& files, std::string& error,
                      const std::string& skip) {
    files.clear();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        error = dir + " is not a directory";
        return false;
    }
    std::vector<std::string> names;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && !isSameFile(it->path(), skip)) {
            names.push_back(fs::relative(it->path(), dir, ec).generic_string());
            if (ec) break;
        }
    }
    if (ec) {
        error = "cannot list " + dir + ": " + ec.message();
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::ifstream in(fs::path(dir) / name, std::ios::binary);
        if (!in) {
            error = "cannot read " + name;
            return false;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = "cannot read " + name;
            return false;
        }
        files.emplace_back(name, std::move(bytes));
    }
    return true;
}

bool packDirectory(const std::string& out, const std::string& dir, std::string& error) {
    // An archive written into the folder it packs must not swallow its own
    // earlier copy on the next run.
    FileList files;
    return collectDirectory(dir, files, error, out) && writeArchive(out, files, error);
}

}  // namespace kv_archive
