#pragma once

#include <QDir>
#include <QString>

namespace fichora::test {

/// Small fixture files of the tests.
inline QString dataPath(const QString& name)
{
    return QStringLiteral(FICHORA_TEST_DATA_DIR "/") + name;
}
/// The shipped files of the program directory, as committed.
inline QString resourcePath(const QString& name)
{
    return QStringLiteral(FICHORA_SOURCE_RESOURCES_DIR "/") + name;
}
/// Files written by other programs; tests that use them skip when the folder is absent.
inline QString interopPath(const QString& name)
{
    return QStringLiteral(FICHORA_INTEROP_DIR "/") + name;
}
inline bool haveInterop()
{
    return QDir(QStringLiteral(FICHORA_INTEROP_DIR)).exists();
}

} // namespace fichora::test
