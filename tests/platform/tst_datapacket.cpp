#include "platform/datapacket.h"
#include "platform/numbertext.h"
#include "platform/recordtable.h"
#include "testdirs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <bit>
#include <cstring>

using namespace fichora;

namespace {

// The 23 fields of a database: F02 and F03 numbers, the rest text.
std::string header23()
{
    std::string text = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (int n = 1; n <= 23; ++n) {
        char name[4];
        std::snprintf(name, sizeof name, "F%02d", n);
        text += std::string("<FIELD attrname=\"") + name + "\" fieldtype=\"" +
                (n == 2 || n == 3 ? "r8\"/>" : "string\" WIDTH=\"4000\"/>");
    }
    return text + "</FIELDS></METADATA><ROWDATA>";
}

std::string packet23(const std::string& rows)
{
    return header23() + rows + "</ROWDATA></DATAPACKET>";
}

// A one-field text packet holding `attributes` in its only row.
std::string onePacket(const std::string& attributes)
{
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"F01\" fieldtype=\"string\" WIDTH=\"99\"/><FIELD attrname=\"F02\" fieldtype=\"r8\"/>"
           "</FIELDS></METADATA><ROWDATA><ROW " +
           attributes + "/></ROWDATA></DATAPACKET>";
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The value as a conforming reader sees it, each character below 256 taken as the byte it stands for.
QByteArray conformingBytes(const char* utf8)
{
    QByteArray out;
    for (const char32_t c : QString::fromUtf8(utf8).toUcs4())
        out.append(c < 256 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace

class TestDataPacket : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsOneLinePacketsOfTheOriginalPlatform()
    {
        RecordTable table;
        QVERIFY(table.loadFromFile(test::dataPath(QStringLiteral("packets/oneline.xml"))).has_value());
        QCOMPARE(table.fieldCount(), 7);
        QCOMPARE(table.recordCount(), 2);
        QVERIFY(table.fields()[1].isNumber);
        for (const int f : {0, 2, 3, 4, 5, 6})
            QVERIFY(!table.fields()[static_cast<std::size_t>(f)].isNumber);
        QCOMPARE(table.fields()[5].name, std::string("F06"));
        QCOMPARE(table.fields()[0].width, 30);

        QCOMPARE(bytes(table.text(0)), QByteArray("H\xE9l\xE8ne & Cie"));
        QCOMPARE(std::get<double>(table.value(1)), 51673.14999999999);
        QCOMPARE(bytes(table.text(2)), QByteArray("12"));
        QCOMPARE(bytes(table.text(3)), QByteArray("19961130"));
        QCOMPARE(bytes(table.text(4)), QByteArray("TRUE"));
        QCOMPARE(bytes(table.text(5)), QByteArray("646.00"));
        QCOMPARE(bytes(table.text(6)), QByteArray("ligne 1\r\nligne 2"));

        table.next();
        QCOMPARE(bytes(table.text(0)), QByteArray("O'Neil <> \"x\""));
        QCOMPARE(std::get<double>(table.value(1)), -16.0);
        QVERIFY(std::holds_alternative<std::monostate>(table.value(2)));
        QCOMPARE(std::get<std::string>(table.value(6)), std::string());
    }

    void decodesValuesAsWindows1252Bytes_data()
    {
        QTest::addColumn<QByteArray>("attribute");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("reference below 256 is the byte")
            << QByteArray("&#233;&#128;&#156;") << QByteArray("\xE9\x80\x9C");
        QTest::newRow("three-digit references") << QByteArray("a&#013;&#010;b&#009;") << QByteArray("a\r\nb\t");
        QTest::newRow("hex references") << QByteArray("&#xE9;&#x20AC;") << QByteArray("\xE9\x80");
        QTest::newRow("reference above 255 with a byte")
            << QByteArray("&#8364;&#339;&#8217;") << QByteArray("\x80\x9C\x92");
        QTest::newRow("reference without a byte") << QByteArray("x&#9731;y") << QByteArray("x?y");
        QTest::newRow("raw high bytes stay") << QByteArray("\xE9\x80\x9C") << QByteArray("\xE9\x80\x9C");
        QTest::newRow("raw line breaks stay") << QByteArray("a\r\n\tb\nc") << QByteArray("a\r\n\tb\nc");
        QTest::newRow("unknown entity kept") << QByteArray("a&nbsp;b & c") << QByteArray("a&nbsp;b & c");
        QTest::newRow("raw greater-than") << QByteArray("a>b") << QByteArray("a>b");
    }
    void decodesValuesAsWindows1252Bytes()
    {
        QFETCH(QByteArray, attribute);
        QFETCH(QByteArray, expected);
        RecordTable table;
        const auto loaded = table.loadFromBytes(onePacket("F01=\"" + attribute.toStdString() + "\""));
        QVERIFY2(loaded.has_value(), qPrintable(loaded ? QString() : loaded.error().message));
        QCOMPARE(bytes(table.text(0)), expected);
    }

    void readsUtf8PacketsAsWindows1252()
    {
        RecordTable table;
        const auto loaded = table.loadFromFile(test::dataPath(QStringLiteral("packets/utf8.xml")));
        QVERIFY2(loaded.has_value(), qPrintable(loaded ? QString() : loaded.error().message));
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(bytes(table.text(0)), QByteArray("B\x9C"
                                                  "uf \xE0 5 \x80 \x92"));
        // The snowman has no Windows-1252 byte; the full-width attribute is not a field and is ignored.
        QCOMPARE(bytes(table.text(1)), QByteArray("\xE9t\x80?"));
    }

    void loadsChangeLogPacketsAsTheirCurrentRecords()
    {
        RecordTable table;
        const auto loaded = table.loadFromFile(test::dataPath(QStringLiteral("packets/changelog.xml")));
        QVERIFY2(loaded.has_value(), qPrintable(loaded ? QString() : loaded.error().message));
        QStringList seen;
        for (table.first(); !table.eof(); table.next())
            seen << QString::fromLatin1(bytes(table.text(0))) + QLatin1Char('/') +
                        QString::fromLatin1(bytes(table.text(1)));
        // Alice was renamed then given 10, Bob deleted, Denis changed to 70, Eve inserted without F02.
        QCOMPARE(seen, QStringList({QStringLiteral("Alicia/10"), QStringLiteral("Chlo\u00e9/3"),
                                    QStringLiteral("Denis/70"), QStringLiteral("Eve/")}));
    }

    void rejectsFilesThatAreNotDataPackets_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("mentions");
        QTest::addColumn<bool>("hasPosition");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("malformed") << true;
        QTest::newRow("plain text") << QByteArray("hello") << QStringLiteral("malformed") << true;
        QTest::newRow("truncated row")
            << QByteArray("<?xml version=\"1.0\"?><DATAPACKET><METADATA><FIELDS><FIELD attrname=\"F01\" "
                          "fieldtype=\"string\"/></FIELDS></METADATA><ROWDATA><ROW F01=\"a")
            << QStringLiteral("malformed") << true;
        QTest::newRow("mismatched tag in rows")
            << QByteArray(onePacket("F01=\"a\"></ROWX><ROW F01=\"b\"").c_str()) << QStringLiteral("malformed") << true;
        QTest::newRow("unquoted value") << QByteArray(onePacket("F01=a").c_str()) << QStringLiteral("malformed")
                                        << true;
        QTest::newRow("unclosed packet")
            << QByteArray("<?xml version=\"1.0\"?><DATAPACKET><METADATA><FIELDS><FIELD attrname=\"F01\" "
                          "fieldtype=\"string\"/></FIELDS></METADATA><ROWDATA></ROWDATA>")
            << QStringLiteral("malformed") << true;
        QTest::newRow("other root") << QByteArray("<?xml version=\"1.0\"?><BOOKS><ROWDATA/></BOOKS>")
                                    << QStringLiteral("DATAPACKET") << false;
        QTest::newRow("no fields") << QByteArray("<?xml version=\"1.0\"?><DATAPACKET><ROWDATA/></DATAPACKET>")
                                   << QStringLiteral("FIELDS") << false;
        QTest::newRow("no rowdata")
            << QByteArray("<?xml version=\"1.0\"?><DATAPACKET><METADATA><FIELDS><FIELD attrname=\"F01\" "
                          "fieldtype=\"string\"/></FIELDS></METADATA></DATAPACKET>")
            << QStringLiteral("ROWDATA") << false;
        QTest::newRow("number field with text")
            << QByteArray(onePacket("F02=\"12abc\"").c_str()) << QStringLiteral("not a number") << true;
    }
    void rejectsFilesThatAreNotDataPackets()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, mentions);
        QFETCH(bool, hasPosition);
        RecordTable table;
        const auto loaded = table.loadFromBytes(content.toStdString());
        QVERIFY(!loaded.has_value());
        QCOMPARE(loaded.error().code, Error::Code::Format);
        QVERIFY2(loaded.error().message.contains(mentions), qPrintable(loaded.error().message));
        QCOMPARE(loaded.error().position >= 0, hasPosition);
        QVERIFY(!table.isOpen());
        QCOMPARE(table.recordCount(), 0);
    }

    void errorPositionIsTheFileOffsetDeepInTheRows()
    {
        // Far beyond the first slice of rows, so the offset has to be carried across slices.
        std::string rows;
        for (int i = 0; i < 20000; ++i)
            rows += "<ROW F01=\"row " + std::to_string(i) + " with some text to make it longer\" F02=\"" +
                    std::to_string(i) + "\"/>";
        const std::string bad = "<ROW F01=\"bad\" F02=oops/>";
        std::string text = onePacket("F01=\"first\"");
        const std::size_t at = text.find("</ROWDATA>");
        text.insert(at, rows + bad);
        const std::size_t badAt = at + rows.size();
        RecordTable table;
        const auto loaded = table.loadFromBytes(text);
        QVERIFY(!loaded.has_value());
        QVERIFY2(loaded.error().position >= static_cast<qint64>(badAt) &&
                     loaded.error().position <= static_cast<qint64>(badAt + bad.size()),
                 qPrintable(loaded.error().message));
        QVERIFY(loaded.error().message.contains(QString::number(loaded.error().position)));
    }

    void missingFileIsAnIoError()
    {
        RecordTable table;
        const auto loaded = table.loadFromFile(QStringLiteral("/nonexistent/fichora/none.xml"));
        QVERIFY(!loaded.has_value());
        QCOMPARE(loaded.error().code, Error::Code::Io);
        QVERIFY(loaded.error().message.contains(QStringLiteral("none.xml")));
    }

    void savedFileHasTheFixedFrameAndEscapes()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet23("<ROW F01=\"x\"/>")).has_value());
        QVERIFY(table.setValue(0, std::string("\x9C\x92\x80\xE9 \"A&B\" 'c' <d>")).has_value());
        QVERIFY(table.setValue(3, std::string("l1\r\nl2\tend\\")).has_value());
        QVERIFY(table.setValue(4, std::string()).has_value());
        QVERIFY(table.setValue(1, -16.0).has_value());
        QVERIFY(table.post().has_value());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.xml"));
        QVERIFY(table.saveToFile(path).has_value());
        const QByteArray file = readAll(path);
        QVERIFY(file.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>"));
        QVERIFY(file.endsWith("</ROWDATA></DATAPACKET>"));
        const qsizetype rowData = file.indexOf("<ROWDATA>");
        QVERIFY2(rowData >= 600 && rowData <= 9990, qPrintable(QString::number(rowData)));
        QVERIFY(file.contains("DATAPACKET Version=\"2.0\""));
        QCOMPARE(file.count("<FIELD "), 23);
        QVERIFY(file.contains("<FIELD attrname=\"F02\" fieldtype=\"r8\"/>"));
        QVERIFY(file.contains("<FIELD attrname=\"F01\" fieldtype=\"string\" WIDTH=\"4000\"/>"));
        QVERIFY(file.contains("F01=\"&#156;&#146;&#128;&#233; &quot;A&amp;B&quot; &apos;c&apos; &lt;d&gt;\""));
        QVERIFY(file.contains("F04=\"l1&#013;&#010;l2&#009;end\\\""));
        QVERIFY(file.contains("F02=\"-16\""));
        QVERIFY(file.contains("F05=\"\""));
        QVERIFY(!file.contains("F06="));
        for (const char c : file)
            QVERIFY2(static_cast<unsigned char>(c) < 128 && (c >= 32 || c == '\n' || c == '\r'), "raw byte in file");
    }

    void savedFileReadsBackIdentically()
    {
        // Every byte value in some text, nulls beside empty texts, numbers at their edges. XML 1.0 cannot
        // carry the control bytes other than tab and line breaks, so those come back as "?".
        const auto saved = [](std::string text) {
            for (char& c : text)
                if (static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\n' && c != '\r')
                    c = '?';
            return text;
        };
        std::string all;
        for (int b = 1; b < 256; ++b)
            all += static_cast<char>(b);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet23("<ROW F01=\"a\"/><ROW F01=\"b\"/><ROW F01=\"c\"/>")).has_value());
        QVERIFY(table.setValue(4, all).has_value());
        QVERIFY(table.setValue(5, std::string()).has_value());
        QVERIFY(table.setValue(1, 0.1).has_value());
        QVERIFY(table.setValue(2, 1e300).has_value());
        table.next();
        QVERIFY(table.setValue(0, std::string()).has_value());
        QVERIFY(table.setValue(1, 51673.14999999999).has_value());
        QVERIFY(table.setValue(21, std::string(9000, 'L')).has_value());
        QVERIFY(table.setValue(22, std::string("C:\\Photos\\img001.jpg|C:\\Photos\\\xE9t\xE9.jpg|")).has_value());
        table.next();
        QVERIFY(table.setValue(0, CellValue{}).has_value());
        QVERIFY(table.setValue(1, -16.0).has_value());
        QVERIFY(table.post().has_value());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("round.xml"));
        QVERIFY(table.saveToFile(path).has_value());
        RecordTable again;
        QVERIFY(again.loadFromFile(path).has_value());
        QCOMPARE(again.recordCount(), table.recordCount());
        QCOMPARE(again.fieldCount(), 23);

        pugi::xml_document conforming;
        QVERIFY(conforming.load_file(path.toLocal8Bit().constData()));
        pugi::xml_node row = conforming.child("DATAPACKET").child("ROWDATA").child("ROW");

        for (int r = 0; r < table.recordCount(); ++r, row = row.next_sibling("ROW")) {
            QVERIFY(row);
            for (int f = 0; f < 23; ++f) {
                const CellValue before = table.valueAt(table.rowAt(r), f);
                const CellValue after = again.valueAt(again.rowAt(r), f);
                QCOMPARE(before.index(), after.index());
                if (const auto* x = std::get_if<double>(&before))
                    QCOMPARE(std::bit_cast<quint64>(*x), std::bit_cast<quint64>(std::get<double>(after)));
                else if (const auto* t = std::get_if<std::string>(&before))
                    QCOMPARE(bytes(std::get<std::string>(after)), bytes(saved(*t)));
                const pugi::xml_attribute attribute =
                    row.attribute(table.fields()[static_cast<std::size_t>(f)].name.c_str());
                QCOMPARE(static_cast<bool>(attribute), before.index() != 0);
                if (attribute)
                    QCOMPARE(conformingBytes(attribute.value()), bytes(saved(table.textAt(table.rowAt(r), f))));
            }
        }
    }

    void largePacketsRoundTripAcrossSlices()
    {
        // Several megabytes, so that both loading and saving work in more than one slice.
        std::string rows;
        for (int i = 0; i < 40000; ++i)
            rows += "<ROW F01=\"n&#233;" + std::to_string(i) + "\" F02=\"" + std::to_string(i) + ".5\" F22=\"" +
                    std::string(static_cast<std::size_t>(i % 97), 'x') + "&#013;&#010;\"/>";
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet23(rows)).has_value());
        QCOMPARE(table.recordCount(), 40000);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("large.xml"));
        QVERIFY(table.saveToFile(path).has_value());
        const QByteArray file = readAll(path);
        QCOMPARE(file, bytes(writeDataPacket(table.store())));
        RecordTable again;
        QVERIFY(again.loadFromFile(path).has_value());
        QCOMPARE(again.recordCount(), 40000);
        for (const int r : {0, 9999, 12345, 39999}) {
            QCOMPARE(bytes(again.textAt(again.rowAt(r), 0)), QByteArray("n\xE9") + QByteArray::number(r));
            QCOMPARE(std::get<double>(again.valueAt(again.rowAt(r), 1)), r + 0.5);
            QCOMPARE(bytes(again.textAt(again.rowAt(r), 21)), QByteArray(r % 97, 'x') + QByteArray("\r\n"));
        }
    }

    void numbersAreWrittenShortestAndReadBackExactly_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("tenth") << 0.1 << QByteArray("0.1");
        QTest::newRow("huge") << 1e300 << QByteArray("1e+300");
        QTest::newRow("negative integer") << -16.0 << QByteArray("-16");
        QTest::newRow("integer") << 1234567.0 << QByteArray("1234567");
        QTest::newRow("zero") << 0.0 << QByteArray("0");
        QTest::newRow("seventeen digits") << 51673.14999999999 << QByteArray("51673.14999999999");
        QTest::newRow("tiny") << 5e-324 << QByteArray("5e-324");
    }
    void numbersAreWrittenShortestAndReadBackExactly()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(bytes(numbertext::format(value)), text);
        const auto parsed = numbertext::parse(text.toStdString());
        QVERIFY(parsed.has_value());
        QCOMPARE(std::bit_cast<quint64>(*parsed), std::bit_cast<quint64>(value));
    }

    void smallTablesStillPlaceRowDataInItsWindow()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(onePacket("F01=\"a\"")).has_value());
        const std::string text = writeDataPacket(table.store());
        const std::size_t rowData = text.find("<ROWDATA>");
        QVERIFY(rowData >= 600 && rowData <= 9990);
        RecordTable again;
        QVERIFY(again.loadFromBytes(text).has_value());
        QCOMPARE(bytes(again.text(0)), QByteArray("a"));
    }

    void failedSaveReportsTheFile()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(onePacket("F01=\"a\"")).has_value());
        const auto saved = table.saveToFile(QStringLiteral("/nonexistent/fichora/out.xml"));
        QVERIFY(!saved.has_value());
        QCOMPARE(saved.error().code, Error::Code::Io);
        QVERIFY(saved.error().message.contains(QStringLiteral("out.xml")));
    }
};

QTEST_GUILESS_MAIN(TestDataPacket)
#include "tst_datapacket.moc"
