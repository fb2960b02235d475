#include "golden_support/trace_file.h"

#include <zlib.h>

#include <cinttypes>
#include <cstdio>
#include <set>
#include <sstream>

namespace golden {

namespace {

// Fractions (sub-pixel positions, velocities) and long values are kept as a
// 32-bit hash: a difference is still found and named, and traces stay small.
std::string stored(const std::string& value) {
    if (value.size() <= 24 && value.find('.') == std::string::npos) return value;
    uint32_t h = 2166136261u;
    for (unsigned char c : value) h = (h ^ c) * 16777619u;
    char text[12];
    std::snprintf(text, sizeof text, "#%08" PRIx32, h);
    return text;
}

}  // namespace

void TraceWriter::add(const Snapshot& frame) {
    std::string line = std::to_string(frames_);
    std::set<std::string> present;
    for (const Field& f : frame) {
        present.insert(f.first);
        const std::string value = stored(f.second);
        auto it = last_.find(f.first);
        if (it == last_.end() || it->second != value) {
            line += " " + f.first + "=" + value;
            last_[f.first] = value;
        }
    }
    for (auto it = last_.begin(); it != last_.end();) {
        if (present.count(it->first) == 0) {
            line += " ~" + it->first;
            it = last_.erase(it);
        } else {
            ++it;
        }
    }
    text_ += line + "\n";
    ++frames_;
}

bool TraceWriter::save(const std::string& path, std::string& error) const {
    gzFile out = gzopen(path.c_str(), "wb9");
    if (out == nullptr) return error = path + ": cannot be written", false;
    const std::string all = "kestova-trace 1\n" + text_;
    const bool ok = gzwrite(out, all.data(), unsigned(all.size())) == int(all.size());
    if (gzclose(out) != Z_OK || !ok) return error = path + ": write failed", false;
    return true;
}

bool TraceChecker::load(const std::string& path, std::string& error) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return error = path + ": cannot be opened", false;
    std::string all;
    char buffer[1 << 16];
    int got = 0;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0) all.append(buffer, size_t(got));
    const bool damaged = got < 0;
    gzclose(file);
    if (damaged) return error = path + ": damaged compressed data", false;
    std::istringstream in(all);
    std::string line;
    if (!std::getline(in, line) || line != "kestova-trace 1") {
        return error = path + ": not a version 1 trace", false;
    }
    deltas_.clear();
    expected_.clear();
    while (std::getline(in, line)) {
        std::istringstream words(line);
        size_t index = 0;
        if (!(words >> index) || index != deltas_.size()) {
            return error = path + ": frame " + std::to_string(deltas_.size()) + " is out of order",
                   false;
        }
        Delta delta;
        std::string word;
        while (words >> word) {
            if (word[0] == '~') {
                delta.removed.push_back(word.substr(1));
                continue;
            }
            const size_t eq = word.find('=');
            if (eq == std::string::npos) {
                return error = path + ": frame " + std::to_string(index) + ": bad field " + word,
                       false;
            }
            delta.changed.emplace_back(word.substr(0, eq), word.substr(eq + 1));
        }
        deltas_.push_back(std::move(delta));
    }
    return true;
}

std::string TraceChecker::check(size_t index, const Snapshot& frame) {
    if (index >= deltas_.size()) {
        return "the recording ends after frame " + std::to_string(deltas_.size()) +
               ", the replay presents more";
    }
    for (const Field& f : deltas_[index].changed) expected_[f.first] = f.second;
    for (const std::string& name : deltas_[index].removed) expected_.erase(name);

    std::map<std::string, std::string> actual;
    for (const Field& f : frame) actual[f.first] = f.second;
    std::string report;
    pictureDiffered_ = false;
    for (const auto& [name, value] : expected_) {
        auto it = actual.find(name);
        if (it == actual.end()) {
            report += "  " + name + ": recorded " + value + ", absent in the replay\n";
        } else if (stored(it->second) != value) {
            report += "  " + name + ": recorded " + value + ", replayed " + it->second + "\n";
            if (name == "picture") pictureDiffered_ = true;
        }
    }
    for (const auto& [name, value] : actual) {
        if (expected_.count(name) == 0) {
            report += "  " + name + ": replayed " + value + ", absent in the recording\n";
        }
    }
    return report;
}

}  // namespace golden
