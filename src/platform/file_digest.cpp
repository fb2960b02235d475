#include "platform/file_digest.h"

#include <xxhash.h>

#include "platform/mapped_file.h"

namespace platform {

bool fileDigest(const std::string& path, uint64_t& digest, std::string& error) {
    const std::shared_ptr<const MappedFile> file = MappedFile::open(path, error);
    if (!file) return false;
    digest = XXH3_64bits(file->data(), file->size());
    return true;
}

}  // namespace platform
