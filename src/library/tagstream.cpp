#include "library/tagstream.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each thread keeps its window's bytes from one file to the next: a new
// block for every file costs more than reading into it. A block TagLib
// still shares is copied, never overwritten.
TagLib::ByteVector& threadWindow() {
    static thread_local TagLib::ByteVector bytes;
    return bytes;
}

} // namespace

namespace {

constexpr auto kWindowBytes = static_cast<unsigned long>(TagStream::kWindow);

} // namespace

TagStream::TagStream(int fd, const char* name) : fd_(fd), name_(name) {}

TagStream::~TagStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

long TagStream::length() {
    if (size_ == kUnknown) {
        struct stat info {};
        const bool regular = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
        size_ = regular ? long(info.st_size) : 0;
        if (!regular)
            window_ = TagLib::ByteVector();
    }
    return size_;
}

long TagStream::readTo(char* to, long offset, long length) const {
    long got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, to + got, size_t(length - got), offset + got);
        if (n <= 0)
            break;
        got += n;
        if (size_ == kUnknown)
            break; // a short read of a regular file is its end: no read to learn it
    }
    return got;
}

void TagStream::readWindow(long start) {
    window_ = TagLib::ByteVector(); // the thread's block is ours alone again
    windowStart_ = start;
    const long wanted = size_ == kUnknown ? kWindow : std::min(kWindow, size_ - start);
    TagLib::ByteVector& bytes = threadWindow();
    if (bytes.size() < kWindowBytes)
        bytes.resize(kWindowBytes);
    const long got = readTo(bytes.data(), start, wanted);
    window_ = bytes.mid(0, static_cast<unsigned int>(got));
    if (size_ == kUnknown && got < wanted)
        size_ = start + got;
}

TagLib::ByteVector TagStream::readBlock(unsigned long count) {
    if (fd_ < 0 || count == 0)
        return TagLib::ByteVector();
    const long windowEnd = windowStart_ + long(window_.size());
    const bool inWindow = pos_ >= windowStart_ && pos_ + long(count) <= windowEnd;
    // Past a whole first window, or more than a window: the length decides.
    if (size_ == kUnknown && !inWindow && (!window_.isEmpty() || count > kWindowBytes))
        length();
    if (size_ != kUnknown && pos_ >= size_)
        return TagLib::ByteVector();
    const long wanted = size_ == kUnknown
                            ? long(count)
                            : long(std::min(count, static_cast<unsigned long>(size_ - pos_)));
    TagLib::ByteVector block;
    if (pos_ >= windowStart_ && pos_ + wanted <= windowEnd) {
        block = window_.mid(static_cast<unsigned int>(pos_ - windowStart_),
                            static_cast<unsigned int>(wanted));
    } else if (wanted > kWindow) {
        block.resize(static_cast<unsigned int>(wanted)); // a large tag: read once, kept by TagLib
        block.resize(static_cast<unsigned int>(readTo(block.data(), pos_, wanted)));
    } else {
        // Near the end, the window is the file's last bytes.
        readWindow(size_ != kUnknown && pos_ + kWindow > size_ ? std::max(0L, size_ - kWindow)
                                                               : pos_);
        const long inReach = windowStart_ + long(window_.size()) - pos_;
        block = window_.mid(static_cast<unsigned int>(pos_ - windowStart_),
                            static_cast<unsigned int>(std::clamp(inReach, 0L, wanted)));
    }
    pos_ += long(block.size());
    return block;
}

void TagStream::seek(long offset, Position p) {
    const long base = p == Beginning ? 0 : p == Current ? pos_ : length();
    pos_ = std::max(0L, base + offset);
}
