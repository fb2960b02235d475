#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The bytes of one data file, read from the archive or the disk. Reads stop
// at the end of the file's own data, never in a neighbour's.
class ZefStream {
  public:
    // A file's bytes held by the stream itself.
    ZefStream(std::string name, std::vector<uint8_t> bytes);
    // `size` bytes at `data`, which `keeper` keeps alive (the archive's
    // mapping): nothing is copied.
    ZefStream(std::string name, std::shared_ptr<const void> keeper, const uint8_t* data,
              size_t size)
        : name_(std::move(name)), keeper_(std::move(keeper)), data_(data), size_(size) {}

    // Copies up to `count` bytes from the current position; returns how many.
    size_t read(void* buffer, size_t count);
    // Moves to `position`, clamped to the end; returns the new position.
    size_t seek(size_t position);

    size_t size() const { return size_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }
    const std::string& name() const { return name_; }
    // The whole file, whatever the position.
    const uint8_t* data() const { return data_; }

  private:
    std::string name_;
    std::shared_ptr<const void> keeper_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
};
