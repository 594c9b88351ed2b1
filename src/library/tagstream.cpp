#include "library/tagstream.h"

#include <algorithm>
#include <unistd.h>

TagStream::TagStream(int fd, long size, const char* name) : fd_(fd), size_(size), name_(name) {}

TagStream::~TagStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

TagLib::ByteVector TagStream::readAt(long offset, long length) const {
    TagLib::ByteVector block(static_cast<unsigned int>(length), '\0');
    long got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, block.data() + got, size_t(length - got), offset + got);
        if (n <= 0)
            break;
        got += n;
    }
    block.resize(static_cast<unsigned int>(got));
    return block;
}

TagLib::ByteVector TagStream::readBlock(unsigned long length) {
    if (fd_ < 0 || pos_ >= size_ || length == 0)
        return TagLib::ByteVector();
    const long wanted = long(std::min(length, static_cast<unsigned long>(size_ - pos_)));
    const long windowEnd = windowStart_ + long(window_.size());
    TagLib::ByteVector block;
    if (pos_ >= windowStart_ && pos_ + wanted <= windowEnd) {
        block = window_.mid(static_cast<unsigned int>(pos_ - windowStart_),
                            static_cast<unsigned int>(wanted));
    } else if (wanted > kWindow) {
        block = readAt(pos_, wanted); // a large tag: read once, kept by TagLib
    } else {
        // Near the end, the window is the file's last bytes.
        windowStart_ = pos_ + kWindow > size_ ? std::max(0L, size_ - kWindow) : pos_;
        window_ = readAt(windowStart_, std::min(kWindow, size_ - windowStart_));
        const long inWindow = windowStart_ + long(window_.size()) - pos_;
        block = window_.mid(static_cast<unsigned int>(pos_ - windowStart_),
                            static_cast<unsigned int>(std::clamp(inWindow, 0L, wanted)));
    }
    pos_ += long(block.size());
    return block;
}

void TagStream::seek(long offset, Position p) {
    const long base = p == Beginning ? 0 : p == Current ? pos_ : size_;
    pos_ = std::max(0L, base + offset);
}
