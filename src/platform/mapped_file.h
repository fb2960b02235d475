#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// A whole file mapped read-only into memory. Its bytes come from the page
// cache when first touched, and nothing is copied; the file itself is
// closed at once (the mapping does not need it). The file must not be cut
// shorter on disk while mapped; replacing it (a new file under the name)
// leaves the mapping as it was.
class MappedFile {
  public:
    // Null and `error` set when the file cannot be opened or mapped.
    static std::shared_ptr<const MappedFile> open(const std::string& path, std::string& error);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uint8_t* data() const { return static_cast<const uint8_t*>(base_); }
    size_t size() const { return size_; }

  private:
    MappedFile(void* base, size_t size) : base_(base), size_(size) {}
    void* base_;
    size_t size_;
};

}  // namespace platform
