#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

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

/// One field of a small fixture packet.
struct PacketField
{
    const char* name;
    bool number = false;
    int width = 40;
};

/// A data packet with `fields`, one row per text of `rows`: cells in field order separated by bars,
/// Windows-1252 bytes as they stand, "-" for a null (left-out attribute), nothing for an empty text.
inline std::string packetFromRows(const std::vector<PacketField>& fields, const std::vector<std::string>& rows)
{
    std::string text = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (const PacketField& field : fields)
        text += std::string("<FIELD attrname=\"") + field.name +
                (field.number ? "\" fieldtype=\"r8\"/>"
                              : "\" fieldtype=\"string\" WIDTH=\"" + std::to_string(field.width) + "\"/>");
    text += "</FIELDS></METADATA><ROWDATA>";
    for (const std::string& row : rows) {
        text += "<ROW";
        std::size_t start = 0;
        for (const PacketField& field : fields) {
            const std::size_t end = std::min(row.find('|', start), row.size());
            const std::string cell = row.substr(start, end - start);
            if (cell != "-")
                text += std::string(" ") + field.name + "=\"" + cell + "\"";
            start = end + 1;
        }
        text += "/>";
    }
    return text + "</ROWDATA></DATAPACKET>";
}

} // namespace fichora::test
