#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The bytes of one data file, read from the archive or the disk. Reads stop
// at the end of the file's own data, never in a neighbour's.
class ZefStream {
  public:
    ZefStream(std::string name, std::vector<uint8_t> bytes)
        : name_(std::move(name)), bytes_(std::move(bytes)) {}

    // Copies up to `count` bytes from the current position; returns how many.
    size_t read(void* buffer, size_t count);
    // Moves to `position`, clamped to the end; returns the new position.
    size_t seek(size_t position);

    size_t size() const { return bytes_.size(); }
    size_t position() const { return position_; }
    size_t remaining() const { return bytes_.size() - position_; }
    const std::string& name() const { return name_; }
    // The whole file, whatever the position.
    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    std::string name_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};
