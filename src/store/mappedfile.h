#pragma once
// A regular file's bytes mapped read-only, read in place: no copy, and no
// fresh memory for the bytes. Should the file shrink while it is mapped
// (another program truncating it), the pages past its new end read as zeros
// instead of stopping the program, and Changed() says so; what was read from
// it is then not to be trusted. That takes a bus-error handler for the whole
// process, so only the short-lived companion tool maps; the program reads.

#include <atomic>
#include <cstddef>

namespace remindo {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the first `size` bytes of the open file `fd` (which stays the
    // caller's). False when the system refuses or `size` is 0; nothing is
    // mapped then.
    bool Map(int fd, size_t size);

    const char* Data() const { return data_; }
    size_t Size() const { return size_; }
    // True once a page of the mapping was found gone.
    bool Changed() const;

private:
    void Unmap();

    const char* data_ = nullptr;
    size_t size_ = 0;
    int slot_ = -1;
};

} // namespace remindo
