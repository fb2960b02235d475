#include "services/zef_stream.h"

#include <algorithm>
#include <cstring>

ZefStream::ZefStream(std::string name, std::vector<uint8_t> bytes) : name_(std::move(name)) {
    auto owned = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    data_ = owned->data();
    size_ = owned->size();
    keeper_ = std::move(owned);
}

size_t ZefStream::read(void* buffer, size_t count) {
    const size_t n = std::min(count, remaining());
    if (n > 0) std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

size_t ZefStream::seek(size_t position) {
    position_ = std::min(position, size_);
    return position_;
}
