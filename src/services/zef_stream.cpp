#include "services/zef_stream.h"

#include <algorithm>
#include <cstring>

size_t ZefStream::read(void* buffer, size_t count) {
    const size_t n = std::min(count, remaining());
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

size_t ZefStream::seek(size_t position) {
    position_ = std::min(position, bytes_.size());
    return position_;
}
