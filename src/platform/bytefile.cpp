#include "bytefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace fichora {

Result<ByteFile> ByteFile::open(const QString& path, Mode mode)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->exists())
        return fail(Error::Code::NotFound, QStringLiteral("Cannot open file \"%1\"").arg(path));
    const QIODevice::OpenMode flags = mode == Mode::Read ? QIODevice::ReadOnly : (QIODevice::ReadWrite);
    // ReadWrite on an existing file neither truncates nor creates it.
    if (!file->open(flags))
        return fail(Error::Code::Io, QStringLiteral("Cannot open file \"%1\": %2").arg(path, file->errorString()));
    return ByteFile(std::move(file));
}

QByteArray ByteFile::readAt(qint64 offset, qint64 length)
{
    if (offset < 0 || length <= 0 || offset >= m_file->size() || !m_file->seek(offset))
        return {};
    return m_file->read(length);
}

std::optional<char> ByteFile::byteAt(qint64 offset)
{
    const QByteArray b = readAt(offset, 1);
    if (b.isEmpty())
        return std::nullopt;
    return b.at(0);
}

Result<void> ByteFile::writeAt(qint64 offset, const QByteArray& bytes)
{
    if (!m_file->isWritable())
        return fail(Error::Code::Io, QStringLiteral("File \"%1\" is not open for writing").arg(path()));
    if (offset < 0 || !m_file->seek(offset) || m_file->write(bytes) != bytes.size() || !m_file->flush())
        return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\": %2").arg(path(), m_file->errorString()));
    return {};
}

Result<void> copyFile(const QString& from, const QString& to, bool replace)
{
    if (!replace && QFileInfo::exists(to))
        return fail(Error::Code::Exists, QStringLiteral("File \"%1\" already exists").arg(to));
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(Error::Code::NotFound, QStringLiteral("Cannot open file \"%1\"").arg(from));
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return fail(Error::Code::Io, QStringLiteral("Cannot create file \"%1\": %2").arg(to, target.errorString()));
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return fail(Error::Code::Io, QStringLiteral("Cannot read file \"%1\"").arg(from));
        if (target.write(chunk) != chunk.size())
            return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\"").arg(to));
    }
    if (!replace && QFileInfo::exists(to))
        return fail(Error::Code::Exists, QStringLiteral("File \"%1\" already exists").arg(to));
    if (!target.commit())
        return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\": %2").arg(to, target.errorString()));
    return {};
}

Result<void> removeIfExists(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    if (!QFile::remove(path))
        return fail(Error::Code::Io, QStringLiteral("Cannot delete file \"%1\"").arg(path));
    return {};
}

} // namespace fichora
