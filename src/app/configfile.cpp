#include "configfile.h"

#include "app/messages.h"
#include "app/skins.h"
#include "platform/bytefile.h"

#include <QDir>

namespace fichora {

namespace {

QString configName()
{
    return QString::fromLatin1(kConfigFileName);
}

Result<void> writeByte(const QString& programDirectory, qint64 offset, char byte)
{
    enterProgramDirectory(programDirectory);
    auto file = ByteFile::open(configName(), ByteFile::Mode::Write);
    if (!file)
        return fail(file.error().code, messages::cannotOpenForWriting(configName()));
    // Writing past the end would extend the file, which the program never does.
    if (offset >= file->size())
        return fail(Error::Code::Io, messages::cannotOpenForWriting(configName()));
    if (auto written = file->writeAt(offset, QByteArray(1, byte)); !written)
        return fail(Error::Code::Io, messages::cannotOpenForWriting(configName()));
    return {};
}

} // namespace

bool enterProgramDirectory(const QString& programDirectory)
{
    return programDirectory.isEmpty() || QDir::setCurrent(programDirectory);
}

Result<ConfigBytes> readConfig(const QString& programDirectory)
{
    enterProgramDirectory(programDirectory);
    auto file = ByteFile::open(configName(), ByteFile::Mode::Read);
    if (!file)
        return fail(file.error().code, messages::cannotOpenForReading(configName()));
    ConfigBytes bytes;
    bytes.language = file->byteAt(kLanguageOffset).value_or('F');
    // A file too short to hold the skin byte reads it as a zero byte, which is no digit: no skin.
    bytes.skin = skinFromByte(file->byteAt(kSkinOffset).value_or('\0'));
    return bytes;
}

Result<void> writeLanguageByte(const QString& programDirectory, char language)
{
    return writeByte(programDirectory, kLanguageOffset, language);
}

Result<void> writeSkinByte(const QString& programDirectory, int skin)
{
    return writeByte(programDirectory, kSkinOffset, skinByte(skin));
}

} // namespace fichora
