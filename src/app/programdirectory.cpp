#include "programdirectory.h"

#include "browse/picturelist.h"
#include "platform/bytefile.h"
#include "platform/cp1252.h"
#include "platform/datapacket.h"
#include "platform/recordtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace fichora {

QString withSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

ProgramLocations defaultProgramLocations()
{
    return {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                            QStringLiteral(FICHORA_SHARE_SUBDIR))};
}

namespace {

/// Copies every file under `from` that `to` lacks, subfolders included; false at the first failure.
/// `copied` receives the names, relative to `to`, of the files it copied.
bool copyMissing(const QDir& from, const QDir& to, QStringList& copied)
{
    QDirIterator files(from.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString name = from.relativeFilePath(source);
        const QString destination = to.filePath(name);
        if (QFileInfo::exists(destination))
            continue;
        if (!QDir().mkpath(QFileInfo(destination).path()) || !copyFile(source, destination, false))
            return false;
        copied.append(name);
    }
    return true;
}

/// Rewrites the picture lists of the data file at `dataFile` so that every relative name becomes the
/// full path of that name in `directory`. Everything else keeps its meaning; the file is replaced only
/// once the new one is completely written.
Result<void> anchorPictureNames(const QString& dataFile, const QString& directory)
{
    const QDir base(QDir(directory).absolutePath());
    // Names are stored in Windows-1252. A folder whose path it cannot spell would leave names that point
    // nowhere; the relative ones at least show the stand-in pictures.
    const QString root = base.path();
    if (cp1252::toUnicode(cp1252::fromUnicode(root)) != root)
        return fail(
            Error::Code::Unsupported,
            QStringLiteral("%1 cannot be written in Windows-1252: the sample keeps relative picture names").arg(root));

    TableStore store;
    if (auto loaded = loadDataPacket(dataFile, store); !loaded)
        return loaded;
    const int field = store.fieldIndex("F23");
    if (field < 0 || store.fields()[static_cast<std::size_t>(field)].isNumber)
        return fail(Error::Code::Format, QStringLiteral("%1 has no picture field").arg(dataFile));

    bool changed = false;
    for (const RowId row : store.order()) {
        const std::string_view list = store.text(row, field);
        const picturelist::Form form = picturelist::formOf(list);
        picturelist::Names names = picturelist::read(list);
        bool anchored = false;
        for (std::string& name : names) {
            const QString relative = cp1252::toUnicode(name);
            if (name.empty() || !QDir::isRelativePath(relative))
                continue;
            name = cp1252::fromUnicode(QDir::cleanPath(base.filePath(relative))).toStdString();
            anchored = true;
        }
        if (!anchored)
            continue;
        // A single name stays a single name: both forms show the same first picture.
        store.setText(row, field, form == picturelist::Form::Single ? names[0] : picturelist::write(names));
        changed = true;
    }
    if (!changed)
        return {};
    return saveDataPacket(store, dataFile);
}

struct Seeding
{
    bool ok = false;
    QString sampleNote;
};

Seeding seed(const QString& userDirectory, const QString& shippedDirectory)
{
    if (userDirectory.isEmpty() || !QDir().mkpath(userDirectory))
        return {};
    const QDir target(userDirectory);
    const QDir shipped(shippedDirectory);
    // Without the shipped files a folder filled at an earlier start still serves; an empty one does not.
    if (shippedDirectory.isEmpty() || !shipped.exists())
        return {!target.entryList(QDir::Files).isEmpty(), {}};
    QStringList copied;
    if (!copyMissing(shipped, target, copied))
        return {};
    Seeding seeding{true, {}};
    // Only a fresh copy is rewritten: a sample already there may hold the user's own records.
    if (copied.contains(QLatin1String(kSampleDataFile))) {
        // The sample is a convenience: if its names cannot be anchored it stays as shipped, and the
        // program directory is no less usable.
        if (const auto anchored = anchorPictureNames(target.filePath(QLatin1String(kSampleDataFile)), userDirectory);
            !anchored)
            seeding.sampleNote = anchored.error().message;
    }
    return seeding;
}

} // namespace

ProgramDirectory setUpProgramDirectory(const ProgramLocations& locations)
{
    const Seeding seeding = seed(locations.userDirectory, locations.shippedDirectory);
    if (seeding.ok)
        return {withSeparator(QDir(locations.userDirectory).absolutePath()), true, {}, seeding.sampleNote};
    if (!locations.shippedDirectory.isEmpty() && QDir(locations.shippedDirectory).exists())
        return {withSeparator(QDir(locations.shippedDirectory).absolutePath()), false, locations.userDirectory, {}};
    return {withSeparator(QDir::currentPath()), false, locations.userDirectory, {}};
}

} // namespace fichora
