#include "platform/content_hash.h"

#include <xxhash.h>

#include "platform/mapped_file.h"

namespace platform {

uint64_t contentHash(const uint8_t* data, size_t size) {
    return XXH3_64bits(data, size);
}

bool fileHash(const std::string& path, uint64_t& hash, std::string& error) {
    const std::shared_ptr<const MappedFile> file = MappedFile::open(path, error);
    if (!file) return false;
    hash = contentHash(file->data(), file->size());
    return true;
}

}  // namespace platform
