#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

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

/// The whole content of a file, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Replaces a file's content; a failure fails the calling test.
inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace fichora::test
