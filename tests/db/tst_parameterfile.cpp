#include "db/parameterfile.h"
#include "platform/cp1252.h"

#include "testdirs.h"
#include <QFile>
#include <QTemporaryDir>

#include <QTest>

using namespace fichora;
namespace pf = fichora::parameterfile;

namespace {

constexpr char kFiller = '\xAA';

QByteArray contents(const QString& path)
{
    return test::readAll(path);
}
void store(const QString& path, const QByteArray& bytes)
{
    test::writeAll(path, bytes);
}

QByteArray withBytesAt(QByteArray file, qint64 offset, const QByteArray& bytes)
{
    file.replace(offset, bytes.size(), bytes);
    return file;
}

} // namespace

class TestParameterFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    // A parameter file whose every byte is a filler, so that a writer touching a neighbour shows.
    QByteArray m_blank = QByteArray(23 * 80, kFiller);

private Q_SLOTS:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("base.par"));
        store(m_path, m_blank);
    }

    void labelWritersLeaveExactlyTheirForm_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("canonical");
        QTest::addColumn<QByteArray>("imported");
        const QByteArray f = QByteArray(1, kFiller);
        QTest::newRow("short") << QByteArray("Nom") << QByteArray("Nom\0           ", 15)
                               << QByteArray("Nom\0", 4) + f.repeated(11);
        QTest::newRow("accented") << cp1252::fromUnicode(QStringLiteral("Prénom"))
                                  << cp1252::fromUnicode(QStringLiteral("Prénom")) + QByteArray("\0        ", 9)
                                  << cp1252::fromUnicode(QStringLiteral("Prénom")) + QByteArray(1, '\0') +
                                         f.repeated(8);
        QTest::newRow("fifteen") << QByteArray("Code postal  XY") << QByteArray("Code postal  XY")
                                 << QByteArray("Code postal  XY\0", 16);
        QTest::newRow("empty") << QByteArray() << QByteArray("\0              ", 15)
                               << QByteArray(1, '\0') + f.repeated(14);
        QTest::newRow("spaces only") << QByteArray("  ") << QByteArray("  \0            ", 15)
                                     << QByteArray("  \0", 3) + f.repeated(12);
    }
    void labelWritersLeaveExactlyTheirForm()
    {
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, canonical);
        QFETCH(QByteArray, imported);
        for (int n : {1, 12, 23}) {
            store(m_path, m_blank);
            QVERIFY(pf::writeLabel(m_path, n, label));
            QCOMPARE(contents(m_path), withBytesAt(m_blank, pf::labelOffset(n), canonical));
            QCOMPARE(pf::readLabel(m_path, n).value(), label);

            store(m_path, m_blank);
            QVERIFY(pf::writeImportLabel(m_path, n, label));
            QCOMPARE(contents(m_path), withBytesAt(m_blank, pf::labelOffset(n), imported));
            QCOMPARE(pf::readLabel(m_path, n).value(), label);
        }
    }

    void readsTheLabelUpToTheFirstZero_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("label");
        QTest::newRow("no zero byte") << QByteArray("ABCDEFGHIJKLMNO") << QByteArray("ABCDEFGHIJKLMNO");
        QTest::newRow("trailing spaces kept") << QByteArray("Ville  \0xyzxyzx", 15) << QByteArray("Ville  ");
        QTest::newRow("zero first") << QByteArray("\0Ville          ", 15) << QByteArray();
        QTest::newRow("second zero ignored") << QByteArray("A\0B\0CCCCCCCCCCC", 15) << QByteArray("A");
    }
    void readsTheLabelUpToTheFirstZero()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, label);
        // The byte after the label belongs to the next value and must never be taken into it.
        store(m_path, withBytesAt(m_blank, pf::labelOffset(7), stored + 'Z'));
        QCOMPARE(pf::readLabel(m_path, 7).value(), label);
    }

    void tooLongLabelsAreRefusedUnwritten()
    {
        const QByteArray sixteen("0123456789ABCDEF");
        QCOMPARE(pf::writeLabel(m_path, 3, sixteen).error().code, Error::Code::Format);
        QCOMPARE(pf::writeImportLabel(m_path, 3, sixteen).error().code, Error::Code::Format);
        QCOMPARE(contents(m_path), m_blank);
    }

    void flagsReadAsSetOnlyForTheirLetter_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<char>("stored");
        QTest::addColumn<bool>("set");
        const struct
        {
            const char* name;
            int offset;
            char letter;
        } flags[] = {{"read-only", 13, 'P'}, {"cipher", 14, 'C'}, {"save pending", 15, 'S'}};
        for (const auto& flag : flags) {
            QTest::addRow("%s letter", flag.name) << flag.offset << flag.letter << true;
            QTest::addRow("%s space", flag.name) << flag.offset << ' ' << false;
            QTest::addRow("%s zero", flag.name) << flag.offset << '\0' << false;
            QTest::addRow("%s lower case", flag.name) << flag.offset << char(flag.letter + 32) << false;
        }
    }
    void flagsReadAsSetOnlyForTheirLetter()
    {
        QFETCH(int, offset);
        QFETCH(char, stored);
        QFETCH(bool, set);
        // The other two flags hold their own letters, so a reader looking at the wrong byte fails.
        QByteArray file = withBytesAt(m_blank, 13, QByteArray("PCS"));
        file[offset] = stored;
        store(m_path, file);
        const Result<bool> read = offset == 13   ? pf::readReadOnly(m_path)
                                  : offset == 14 ? pf::readCipher(m_path)
                                                 : pf::readSavePending(m_path);
        QCOMPARE(read.value(), set);
    }

    void valuesPastTheEndReadAsUnset()
    {
        // Nothing checks the length of the file: a cut-off file reads as blank where it has no bytes.
        store(m_path, QByteArray("Fichora V3.6 P"));
        QVERIFY(pf::readReadOnly(m_path).value());
        QVERIFY(!pf::readCipher(m_path).value());
        QVERIFY(!pf::readSavePending(m_path).value());
        QVERIFY(!pf::readExport(m_path, 1).value());
        QCOMPARE(pf::readFieldType(m_path, 2).value(), pf::FieldType::Text);
        QCOMPARE(pf::readLabel(m_path, 3).value(), QByteArray());
    }

    void flagWritersTouchOnlyTheirByte()
    {
        QVERIFY(pf::writeFlags(m_path, {.readOnly = true, .cipher = false, .savePending = true}));
        QCOMPARE(contents(m_path), withBytesAt(m_blank, 13, QByteArray("P S")));
        QVERIFY(pf::writeCipher(m_path, true));
        QVERIFY(pf::writeReadOnly(m_path, false));
        QCOMPARE(contents(m_path), withBytesAt(m_blank, 13, QByteArray(" CS")));
        QVERIFY(pf::writeSavePending(m_path, false));
        QCOMPARE(contents(m_path), withBytesAt(m_blank, 13, QByteArray(" C ")));
        QVERIFY(!pf::readReadOnly(m_path).value());
        QVERIFY(pf::readCipher(m_path).value());
    }

    void fieldTypeIsDecidedByItsFirstByte_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("number");
        QTest::newRow("integr") << QByteArray("integr") << true;
        QTest::newRow("i only") << QByteArray("ixxxxx") << true;
        QTest::newRow("string") << QByteArray("string") << false;
        QTest::newRow("space") << QByteArray("      ") << false;
        QTest::newRow("zero") << QByteArray(6, '\0') << false;
        QTest::newRow("upper case") << QByteArray("INTEGR") << false;
    }
    void fieldTypeIsDecidedByItsFirstByte()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, number);
        store(m_path, withBytesAt(m_blank, pf::fieldTypeOffset(21), stored));
        QCOMPARE(pf::readFieldType(m_path, 21).value() == pf::FieldType::Number, number);
        QCOMPARE(pf::readFieldType(m_path, 20).value(), pf::FieldType::Text);
    }

    void fieldTypeWriterWritesSixLetters()
    {
        QVERIFY(pf::writeFieldType(m_path, 2, pf::FieldType::Number));
        QVERIFY(pf::writeFieldType(m_path, 22, pf::FieldType::Text));
        QCOMPARE(contents(m_path),
                 withBytesAt(withBytesAt(m_blank, 100, QByteArray("integr")), 1700, QByteArray("string")));
    }

    void widthsAreSignedLittleEndianAndUnchecked()
    {
        QVERIFY(pf::writeWidth(m_path, 23, -5));
        QCOMPARE(contents(m_path), withBytesAt(m_blank, 1817, QByteArray("\xFB\xFF\xFF\xFF", 4)));
        QCOMPARE(pf::readWidth(m_path, 23).value(), -5);

        std::array<qint32, pf::kFieldCount> widths{};
        QByteArray expected = m_blank;
        for (int n = 1; n <= pf::kFieldCount; ++n) {
            const qint32 w = n == 4 ? 0 : 100 * n + 0x10000 * (n % 3);
            widths[static_cast<size_t>(n - 1)] = w;
            expected =
                withBytesAt(expected, 80 * n - 23, QByteArray::fromRawData(reinterpret_cast<const char*>(&w), 4));
        }
        QVERIFY(pf::writeAllWidths(m_path, widths));
        QCOMPARE(contents(m_path), expected);
        QCOMPARE(pf::readWidth(m_path, 4).value(), 0);
        QCOMPARE(pf::readWidth(m_path, 2).value(), 200 + 0x20000);
    }

    void widthCutOffByTheEndOfFileIsAnError()
    {
        store(m_path, m_blank.left(1819));
        QCOMPARE(pf::readWidth(m_path, 23).error().code, Error::Code::Format);
        QVERIFY(pf::readWidth(m_path, 22));
    }

    void exportFlagIsTickedOnlyByE()
    {
        QVERIFY(pf::writeExport(m_path, 1, true));
        QVERIFY(pf::writeExport(m_path, 23, false));
        QCOMPARE(contents(m_path), withBytesAt(withBytesAt(m_blank, 61, "E"), 1821, "N"));
        QVERIFY(pf::readExport(m_path, 1).value());
        QVERIFY(!pf::readExport(m_path, 23).value());
        store(m_path, withBytesAt(m_blank, 141, "e"));
        QVERIFY(!pf::readExport(m_path, 2).value());
    }

    void oldFormatIsTheTwelveByteMarker_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<bool>("old");
        QTest::newRow("old marker") << QByteArray("Fichora V2.3PCS") << true;
        QTest::newRow("old marker, other flags") << QByteArray("Fichora V2.3\0  ", 15) << true;
        QTest::newRow("current") << QByteArray("Fichora V3.6   ") << false;
        QTest::newRow("case differs") << QByteArray("fichora V2.3   ") << false;
        QTest::newRow("short file") << QByteArray("Fichora V2.") << false;
    }
    void oldFormatIsTheTwelveByteMarker()
    {
        QFETCH(QByteArray, start);
        QFETCH(bool, old);
        store(m_path, start.size() < 12 ? start : withBytesAt(m_blank, 0, start));
        QCOMPARE(pf::isOldFormat(m_path).value(), old);
    }

    void failuresNameTheFileAndCreateNothing()
    {
        const QString missing = m_dir.filePath(QStringLiteral("missing.par"));
        const auto label = pf::readLabel(missing, 1);
        QCOMPARE(label.error().code, Error::Code::NotFound);
        QVERIFY(label.error().message.contains(missing));
        const auto written = pf::writeWidth(missing, 1, 100);
        QVERIFY(written.error().message.contains(missing));
        QVERIFY(!pf::writeFlags(missing, {}));
        QVERIFY(!QFile::exists(missing));

        QCOMPARE(pf::readLabel(m_path, 0).error().code, Error::Code::Unsupported);
        QCOMPARE(pf::writeExport(m_path, 24, true).error().code, Error::Code::Unsupported);
        QCOMPARE(contents(m_path), m_blank);
    }

    void relatedPathsReplaceTheLastThreeCharacters_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("par");
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("cip");
        QTest::newRow("data file") << QStringLiteral("C:\\dir\\Clients.xml") << QStringLiteral("C:\\dir\\Clients.par")
                                   << QStringLiteral("C:\\dir\\Clients.xml") << QStringLiteral("C:\\dir\\Clients.cip");
        QTest::newRow("ciphered") << QStringLiteral("/home/a/b.cip") << QStringLiteral("/home/a/b.par")
                                  << QStringLiteral("/home/a/b.xml") << QStringLiteral("/home/a/b.cip");
        QTest::newRow("any ending") << QStringLiteral("/x/base.XMLk") << QStringLiteral("/x/base.Xpar")
                                    << QStringLiteral("/x/base.Xxml") << QStringLiteral("/x/base.Xcip");
    }
    void relatedPathsReplaceTheLastThreeCharacters()
    {
        QFETCH(QString, path);
        QFETCH(QString, par);
        QFETCH(QString, xml);
        QFETCH(QString, cip);
        QCOMPARE(parameterPathFor(path), par);
        QCOMPARE(dataPathFor(path), xml);
        QCOMPARE(cipheredPathFor(path), cip);
    }
};

QTEST_GUILESS_MAIN(TestParameterFile)
#include "tst_parameterfile.moc"
