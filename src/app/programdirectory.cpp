#include "programdirectory.h"

#include "platform/bytefile.h"

#include <QCoreApplication>
#include <QDir>
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

bool seed(const QString& userDirectory, const QString& shippedDirectory)
{
    if (userDirectory.isEmpty() || !QDir().mkpath(userDirectory))
        return false;
    const QDir target(userDirectory);
    const QDir shipped(shippedDirectory);
    // Without the shipped files a folder filled at an earlier start still serves; an empty one does not.
    if (shippedDirectory.isEmpty() || !shipped.exists())
        return !target.entryList(QDir::Files).isEmpty();
    const QStringList names = shipped.entryList(QDir::Files);
    for (const QString& name : names) {
        const QString destination = target.filePath(name);
        if (QFileInfo::exists(destination))
            continue;
        if (!copyFile(shipped.filePath(name), destination, false))
            return false;
    }
    return true;
}

} // namespace

ProgramDirectory setUpProgramDirectory(const ProgramLocations& locations)
{
    if (seed(locations.userDirectory, locations.shippedDirectory))
        return {withSeparator(QDir(locations.userDirectory).absolutePath()), true, {}};
    if (!locations.shippedDirectory.isEmpty() && QDir(locations.shippedDirectory).exists())
        return {withSeparator(QDir(locations.shippedDirectory).absolutePath()), false, locations.userDirectory};
    return {withSeparator(QDir::currentPath()), false, locations.userDirectory};
}

} // namespace fichora
