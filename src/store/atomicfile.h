#pragma once
// Replacing a file so that a failure or a crash at any moment leaves either
// the old file or the complete new one, never a part of either.

#include <memory>
#include <string>
#include <string_view>

namespace remindo {

// One replacement of one file, step by step. The steps exist separately so
// that tests can make each of them fail.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Starts a new file that will take the place of `path`; nothing at `path`
    // changes yet. `path` is in the local file-name encoding.
    virtual bool Open(const std::string& path) = 0;
    virtual bool Write(std::string_view bytes) = 0;
    // Puts the new file on the disk and then in place of the old one.
    virtual bool Commit() = 0;
    // Drops a file that was opened and not committed; harmless otherwise.
    virtual void Discard() = 0;
};

// The real writer: the new file is written under a temporary name beside the
// old one (or unnamed, where the system allows), synced, renamed over the old
// file, and the folder is synced so that the rename itself survives a power
// cut. The old file's permissions carry over.
class SafeFileWriter final : public FileWriter {
public:
    SafeFileWriter();
    ~SafeFileWriter() override;
    bool Open(const std::string& path) override;
    bool Write(std::string_view bytes) override;
    bool Commit() override;
    void Discard() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Makes a writer for one replacement. The store's files take one of these so
// that tests can hand in writers that fail.
class FileWriterFactory {
public:
    virtual ~FileWriterFactory() = default;
    virtual std::unique_ptr<FileWriter> NewWriter() = 0;
};

class SafeFileWriterFactory final : public FileWriterFactory {
public:
    std::unique_ptr<FileWriter> NewWriter() override { return std::make_unique<SafeFileWriter>(); }
};

// The factory used when none is given.
FileWriterFactory& DefaultFileWriters();

// Open, Write, Commit; on any failure the writer is discarded and the answer is false.
bool ReplaceFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes);

// The whole content of a regular file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);
bool FileExists(const std::string& path);

} // namespace remindo
