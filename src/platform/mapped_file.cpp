#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

std::shared_ptr<const MappedFile> MappedFile::open(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    void* base = nullptr;
    size_t size = 0;
    bool failed = true;
    if (fstat(fd, &info) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
    } else if (info.st_size == 0) {
        failed = false;  // nothing to map: an empty file
    } else {
        size = size_t(info.st_size);
        base = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        failed = base == MAP_FAILED;
        if (failed) {
            error = std::strerror(errno);
            base = nullptr;
            size = 0;
        }
    }
    ::close(fd);
    if (failed) return nullptr;
    return std::shared_ptr<const MappedFile>(new MappedFile(base, size));
}

MappedFile::~MappedFile() {
    if (base_ != nullptr) munmap(base_, size_);
}

}  // namespace platform
