#pragma once

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

// A regular file opened for reading, served to TagLib a window at a time:
// TagLib asks for a few bytes here and there near the start of a file and
// near its end, and on this machine each system call costs more than the
// parsing. One read of a window at each end serves nearly all of them, and
// seeking and the length cost none. Never writes.
class TagStream final : public TagLib::IOStream {
public:
    // Bytes read at once: an ID3v2 tag without pictures fits, and a small
    // file is read whole.
    static constexpr long kWindow = 16 * 1024;

    // Takes `fd` (open, a regular file of `size` bytes) and closes it.
    TagStream(int fd, long size, const char* name);
    ~TagStream() override;
    TagStream(const TagStream&) = delete;
    TagStream& operator=(const TagStream&) = delete;

    TagLib::FileName name() const override { return name_; }
    // At most what is left of the file, whatever was asked.
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return fd_ >= 0; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return pos_; }
    long length() override { return size_; }
    void truncate(long) override {}

private:
    // Up to `length` bytes from `offset`; fewer where the file ends.
    TagLib::ByteVector readAt(long offset, long length) const;

    int fd_;
    long size_;
    long pos_ = 0;
    const char* name_;
    // The bytes from windowStart_ on, as last read.
    TagLib::ByteVector window_;
    long windowStart_ = 0;
};
