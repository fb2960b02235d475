#pragma once
// A golden trace: for every presented frame, the fields that changed since
// the frame before ("name=value"), and those that went away ("~name").
#include <map>
#include <string>
#include <vector>

#include "golden_support/state_snapshot.h"

namespace golden {

class TraceWriter {
  public:
    void add(const Snapshot& frame);
    bool save(const std::string& path, std::string& error) const;
    size_t frames() const { return frames_; }

  private:
    std::map<std::string, std::string> last_;
    std::string text_;
    size_t frames_ = 0;
};

// Replays a saved trace frame by frame against a run.
class TraceChecker {
  public:
    bool load(const std::string& path, std::string& error);
    size_t frames() const { return deltas_.size(); }
    // Compares the run's frame `index` with the recorded one; returns an empty
    // string when equal, else what differs, field by field.
    std::string check(size_t index, const Snapshot& frame);
    // Names the fields that differ only in pictures or sound.
    bool pictureDiffered() const { return pictureDiffered_; }

  private:
    struct Delta {
        std::vector<Field> changed;
        std::vector<std::string> removed;
    };
    std::vector<Delta> deltas_;
    std::map<std::string, std::string> expected_;
    bool pictureDiffered_ = false;
};

}  // namespace golden
