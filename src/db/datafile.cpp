#include "datafile.h"

#include "platform/bytefile.h"

#include <QFile>

namespace fichora::datafile {

namespace {

constexpr qint64 kCopyBlock = 1 << 20;

Result<void> checkNumberField(int n)
{
    if (n < 2 || n > 21)
        return fail(Error::Code::Unsupported, QStringLiteral("Field %1 cannot be a number field").arg(n));
    return {};
}

QString cannotOpen(const QString& path, const char* place)
{
    return QStringLiteral("Cannot open file :\n\n %1\n\nError %2").arg(path, QLatin1String(place));
}

qint64 findRowDataIn(ByteFile& file)
{
    // One read of the whole window instead of a read per offset: a 9-byte read that runs past the end
    // of the file matches nothing, which a search in the shorter buffer gives as well.
    const QByteArray window = file.readAt(kSearchFirst, kSearchLast - kSearchFirst + qstrlen(kRowDataTag));
    const qsizetype at = window.indexOf(kRowDataTag);
    if (at < 0 || kSearchFirst + at > kMatchLast)
        return -1;
    return kSearchFirst + at;
}

Result<void> writeRowsAt(const QString& path, qint64 (*position)(const ByteFile&), const QByteArray& rows)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    const qint64 at = position(*file);
    if (at < 0)
        return fail(Error::Code::Format,
                    QStringLiteral("File \"%1\" is too short to hold the end of a data packet").arg(path));
    if (auto r = file->writeAt(at, rows); !r)
        return r;
    return file->writeAt(at + rows.size(), QByteArray(kPacketEnd));
}

} // namespace

QByteArray numberDescription(int n)
{
    QByteArray text = QByteArrayLiteral("<FIELD attrname=\"F") + QByteArray::number(n).rightJustified(2, '0') +
                      QByteArrayLiteral("\" fieldtype=\"r8\"/>");
    return text.leftJustified(kSlotLength, ' ');
}

Result<void> createFromTemplate(const QString& templatePath, const QString& target)
{
    return copyFile(templatePath, target, false);
}

Result<void> markNumber(const QString& path, int n)
{
    if (auto ok = checkNumberField(n); !ok)
        return ok;
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    return file->writeAt(slotOffset(n), numberDescription(n));
}

Result<void> writeRowsIntoTemplateCopy(const QString& path, const QByteArray& rows)
{
    return writeRowsAt(
        path, [](const ByteFile&) { return kRowsOffset; }, rows);
}

Result<void> appendRows(const QString& path, const QByteArray& rows)
{
    return writeRowsAt(
        path, [](const ByteFile& f) { return f.size() >= kPacketEndLength ? f.size() - kPacketEndLength : -1; }, rows);
}

Result<qint64> findRowData(const QString& path)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    const qint64 at = findRowDataIn(*file);
    if (at < 0)
        return fail(Error::Code::Format, QStringLiteral("Error !!!"));
    return at;
}

Result<void> replaceMetadata(const QString& dataPath, const QString& templatePath, const QList<int>& numberFields)
{
    for (int n : numberFields) {
        if (auto ok = checkNumberField(n); !ok)
            return ok;
    }

    qint64 rowData = -1;
    {
        auto old = ByteFile::open(dataPath, ByteFile::Mode::Read);
        if (!old)
            return fail(old.error().code, cannotOpen(dataPath, "31tt"));
        rowData = findRowDataIn(*old);
    }
    if (rowData < 0)
        return fail(Error::Code::Format, QStringLiteral("Error !!!"));

    const QString backup = dataPath + QLatin1String(".bak2");
    if (!removeIfExists(backup) || !QFile::rename(dataPath, backup))
        return fail(Error::Code::Io, QStringLiteral("Cannot rename xml file in bak2 file"));

    if (auto copied = copyFile(templatePath, dataPath, false); !copied)
        return fail(copied.error().code, QStringLiteral("Erreur : Impossible de copier le fichier REF"));

    auto target = ByteFile::open(dataPath, ByteFile::Mode::Write);
    if (!target)
        return fail(target.error().code, cannotOpen(dataPath, "31zz"));
    for (int n : numberFields) {
        if (auto r = target->writeAt(slotOffset(n), numberDescription(n)); !r)
            return r;
    }

    auto source = ByteFile::open(backup, ByteFile::Mode::Read);
    if (!source)
        return fail(source.error().code, cannotOpen(backup, "31uu"));
    const qint64 end = source->size();
    for (qint64 from = rowData; from < end;) {
        const QByteArray block = source->readAt(from, qMin(kCopyBlock, end - from));
        if (block.isEmpty())
            return fail(Error::Code::Io, QStringLiteral("Read error on file :\n\n %1").arg(backup));
        if (auto r = target->writeAt(kRowDataOffset + (from - rowData), block); !r)
            return r;
        from += block.size();
    }
    return {};
}

Result<bool> isDataFile(const QString& path)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    return file->readAt(0, qstrlen(kSignature)) == QByteArray(kSignature);
}

} // namespace fichora::datafile
