#include "store/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace remindo {
namespace {

QString ToQt(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// A rename is only durable once the folder that holds the name is synced.
void SyncFolderOf(const QString& path)
{
    QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    const QByteArray folder = QFile::encodeName(real.isEmpty() ? info.absolutePath() : QFileInfo(real).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

struct SafeFileWriter::Impl {
    std::unique_ptr<QSaveFile> file;
};

SafeFileWriter::SafeFileWriter() : impl_(std::make_unique<Impl>()) {}

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open(const std::string& path)
{
    Discard();
    auto f = std::make_unique<QSaveFile>(ToQt(path));
    // Never fall back to writing the old file in place: that is exactly what
    // can leave a file cut short.
    f->setDirectWriteFallback(false);
    if (!f->open(QIODevice::WriteOnly))
        return false;
    impl_->file = std::move(f);
    return true;
}

bool SafeFileWriter::Write(std::string_view bytes)
{
    if (!impl_->file)
        return false;
    while (!bytes.empty()) {
        const qint64 n = impl_->file->write(bytes.data(), qint64(bytes.size()));
        if (n <= 0)
            return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

bool SafeFileWriter::Commit()
{
    if (!impl_->file)
        return false;
    const QString path = impl_->file->fileName();
    // commit() flushes, syncs the data, renames over the old file, and
    // removes the new one when any of that fails.
    const bool ok = impl_->file->commit();
    impl_->file.reset();
    if (ok)
        SyncFolderOf(path);
    // A failed folder sync cannot be undone and leaves the new file in place;
    // it only weakens what a power cut right now would keep.
    return ok;
}

void SafeFileWriter::Discard()
{
    if (impl_->file) {
        impl_->file->cancelWriting();
        impl_->file.reset(); // the destructor removes what was not committed
    }
}

FileWriterFactory& DefaultFileWriters()
{
    static SafeFileWriterFactory factory;
    return factory;
}

bool ReplaceFile(FileWriterFactory& writers, const std::string& path, std::string_view bytes)
{
    std::unique_ptr<FileWriter> w = writers.NewWriter();
    if (!w)
        return false;
    if (w->Open(path) && w->Write(bytes) && w->Commit())
        return true;
    w->Discard();
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    QFile f(ToQt(path));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (QFileInfo(f).isDir())
        return false;
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    out.assign(all.constData(), size_t(all.size()));
    return true;
}

bool FileExists(const std::string& path) { return QFileInfo::exists(ToQt(path)); }

} // namespace remindo
