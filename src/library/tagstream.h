#pragma once

#include <taglib/tiostream.h>

// A regular file opened for reading, served to TagLib with one system call
// a read: seeking and the length cost none (TagLib's own file stream seeks
// and asks the length again for nearly every read, which is most of the
// time a tag read takes). Never writes.
class TagStream final : public TagLib::IOStream {
public:
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
    int fd_;
    long size_;
    long pos_ = 0;
    const char* name_;
};
