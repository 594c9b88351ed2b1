#pragma once

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

// A file opened for reading, served to TagLib a window at a time: TagLib
// asks for a few bytes here and there near the start of a file and near
// its end, and on this machine each system call costs more than the
// parsing. One read of a window at each end serves nearly all of them, and
// seeking costs none. The file's length is asked of the system only when a
// read or TagLib needs it: a file whose tags fit in the first window, the
// common case, costs an open, one read and a close. Never writes.
//
// Only a regular file gives bytes: a pipe or a folder refuses to be read
// at an offset (and was opened without blocking), and any other kind of
// file is found out when its length is first asked, before TagLib could
// look past the first window; from then on it gives nothing.
class TagStream final : public TagLib::IOStream {
public:
    // Bytes read at once: an ID3v2 tag without pictures fits, and a small
    // file is read whole.
    static constexpr long kWindow = 16 * 1024;

    // Takes `fd` (open for reading, without blocking) and closes it.
    TagStream(int fd, const char* name);
    ~TagStream() override;
    TagStream(const TagStream&) = delete;
    TagStream& operator=(const TagStream&) = delete;

    TagLib::FileName name() const override { return name_; }
    // At most what is left of the file, whatever was asked.
    TagLib::ByteVector readBlock(unsigned long count) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return fd_ >= 0; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return pos_; }
    // 0 for anything but a regular file.
    long length() override;
    void truncate(long) override {}

private:
    static constexpr long kUnknown = -1;

    // Up to `length` bytes from `offset` to `to`; fewer where the file
    // ends. The count read.
    long readTo(char* to, long offset, long length) const;
    // The window from `start` on.
    void readWindow(long start);

    int fd_;
    long size_ = kUnknown;
    long pos_ = 0;
    const char* name_;
    // The bytes from windowStart_ on, as last read.
    TagLib::ByteVector window_;
    long windowStart_ = 0;
};
