#include "library/tagstream.h"

#include <algorithm>
#include <unistd.h>

TagStream::TagStream(int fd, long size, const char* name) : fd_(fd), size_(size), name_(name) {}

TagStream::~TagStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

TagLib::ByteVector TagStream::readBlock(unsigned long length) {
    if (fd_ < 0 || pos_ >= size_ || length == 0)
        return TagLib::ByteVector();
    const long wanted = long(std::min(length, static_cast<unsigned long>(size_ - pos_)));
    TagLib::ByteVector block(static_cast<unsigned int>(wanted), '\0');
    long got = 0;
    while (got < wanted) {
        const ssize_t n = ::pread(fd_, block.data() + got, size_t(wanted - got), pos_ + got);
        if (n <= 0)
            break;
        got += n;
    }
    block.resize(static_cast<unsigned int>(got));
    pos_ += got;
    return block;
}

void TagStream::seek(long offset, Position p) {
    const long base = p == Beginning ? 0 : p == Current ? pos_ : size_;
    pos_ = std::max(0L, base + offset);
}
