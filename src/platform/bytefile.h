#pragma once

#include "error.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace fichora {

/// A file accessed value by value at fixed byte offsets: open, position, read or write exactly the
/// value's bytes, close (on destruction). Opening for writing never creates the file: it must exist.
class ByteFile
{
public:
    enum class Mode { Read, Write };

    /// Opens an existing file. Fails with Code::NotFound when it does not exist, Code::Io otherwise.
    static Result<ByteFile> open(const QString& path, Mode mode);

    ByteFile(ByteFile&&) noexcept = default;
    ByteFile& operator=(ByteFile&&) noexcept = default;
    ~ByteFile() = default;

    /// Reads up to `length` bytes at `offset`; fewer (or none) past the end of the file.
    QByteArray readAt(qint64 offset, qint64 length);
    /// Reads one byte at `offset`, or nothing past the end.
    std::optional<char> byteAt(qint64 offset);
    /// Writes `bytes` at `offset`; the neighbouring bytes are untouched.
    Result<void> writeAt(qint64 offset, const QByteArray& bytes);

    qint64 size() const { return m_file->size(); }
    QString path() const { return m_file->fileName(); }

private:
    explicit ByteFile(std::unique_ptr<QFile> file) : m_file(std::move(file)) {}
    std::unique_ptr<QFile> m_file;
};

/// Copies `from` to `to`, failing (Code::Exists) when `to` exists and `replace` is false.
/// The copy is written beside the target and renamed into place, so a failed copy leaves nothing.
Result<void> copyFile(const QString& from, const QString& to, bool replace);

/// Deletes `path` when it exists; a missing file is not an error.
Result<void> removeIfExists(const QString& path);

} // namespace fichora
