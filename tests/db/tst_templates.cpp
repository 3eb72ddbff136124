#include "db/datafile.h"
#include "db/parameterfile.h"
#include "platform/cp1252.h"
#include "testdirs.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <pugixml.hpp>

using namespace fichora;
namespace pf = fichora::parameterfile;
namespace df = fichora::datafile;

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString shipped(const char* name)
{
    return test::resourcePath(QLatin1String(name));
}

QString fieldName(int n)
{
    return QStringLiteral("F%1").arg(n, 2, 10, QLatin1Char('0'));
}

struct ParsedField
{
    QString name;
    QString type;
    QString width;
};

/// The packet as a strict reader sees it; `ok` is false when it is not well-formed.
struct ParsedPacket
{
    bool ok = false;
    QString version;
    QList<ParsedField> fields;
    QList<QStringList> rows; // attribute "name=value" in document order
};

ParsedPacket parsePacket(const QByteArray& bytes)
{
    ParsedPacket packet;
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                         pugi::parse_default | pugi::parse_declaration))
        return packet;
    packet.ok = true;
    const pugi::xml_node root = doc.child("DATAPACKET");
    packet.version = QString::fromUtf8(root.attribute("Version").value());
    for (const pugi::xml_node field : root.child("METADATA").child("FIELDS").children("FIELD")) {
        packet.fields.append({QString::fromUtf8(field.attribute("attrname").value()),
                              QString::fromUtf8(field.attribute("fieldtype").value()),
                              QString::fromUtf8(field.attribute("WIDTH").value())});
    }
    for (const pugi::xml_node row : root.child("ROWDATA").children("ROW")) {
        QStringList attributes;
        for (const pugi::xml_attribute a : row.attributes())
            attributes << QString::fromUtf8(a.name()) + QLatin1Char('=') + QString::fromUtf8(a.value());
        packet.rows.append(attributes);
    }
    return packet;
}

quint32 le32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parameterTemplateDescribesTwentyThreeEmptyTextFields()
    {
        const QString path = shipped("Fichora_par.ref");
        const QByteArray bytes = contents(path);
        QVERIFY(bytes.size() >= pf::kMinimumSize);
        QCOMPARE(bytes.size() % 80, 0);
        QVERIFY(!pf::isOldFormat(path).value());
        QCOMPARE(bytes.mid(13, 3), QByteArray("   "));
        QVERIFY(!pf::readReadOnly(path).value());
        QVERIFY(!pf::readCipher(path).value());
        QVERIFY(!pf::readSavePending(path).value());
        for (int n = 1; n <= pf::kFieldCount; ++n) {
            QCOMPARE(bytes.mid(pf::fieldTypeOffset(n), 6), QByteArray("string"));
            QCOMPARE(pf::readFieldType(path, n).value(), pf::FieldType::Text);
            QCOMPARE(bytes.mid(pf::labelOffset(n), 15), QByteArray("\0              ", 15));
            QCOMPARE(pf::readLabel(path, n).value(), QByteArray());
            QCOMPARE(pf::readWidth(path, n).value(), 145);
            QVERIFY(pf::readExport(path, n).value());
        }
    }

    void dataTemplateHasItsFixedPositions()
    {
        const QByteArray bytes = contents(shipped("Fichora_xml.ref"));
        QCOMPARE(bytes.size(), df::kTemplateSize);
        QVERIFY(bytes.startsWith(df::kSignature));
        QCOMPARE(bytes.mid(df::kRowDataOffset, 9), QByteArray(df::kRowDataTag));
        QCOMPARE(bytes.mid(df::kRowsOffset), QByteArray(df::kPacketEnd));
        QCOMPARE(df::findRowData(shipped("Fichora_xml.ref")).value(), df::kRowDataOffset);
        for (int n = 2; n <= 21; ++n) {
            const QByteArray slot = bytes.mid(df::slotOffset(n), df::kSlotLength);
            const QByteArray element = slot.trimmed();
            QVERIFY2(slot.startsWith("<FIELD attrname=\"" + fieldName(n).toLatin1() + "\" fieldtype=\"string\""),
                     slot.constData());
            QVERIFY(element.endsWith("/>"));
            QCOMPARE(slot.mid(element.size()), QByteArray(df::kSlotLength - element.size(), ' '));
            QCOMPARE(bytes.mid(df::slotOffset(n) + df::kSlotLength, 2), QByteArray("\r\n"));
        }
    }

    void dataTemplateIsAnEmptyPacketOfTextFields()
    {
        const ParsedPacket packet = parsePacket(contents(shipped("Fichora_xml.ref")));
        QVERIFY(packet.ok);
        QCOMPARE(packet.version, QStringLiteral("2.0"));
        QCOMPARE(packet.fields.size(), 23);
        for (int n = 1; n <= 23; ++n) {
            const ParsedField& field = packet.fields.at(n - 1);
            QCOMPARE(field.name, fieldName(n));
            QCOMPARE(field.type, QStringLiteral("string"));
            const int width = field.width.toInt();
            if (n <= 21)
                QCOMPARE(width, 4000);
            else if (n == 22)
                QCOMPARE(width, 9000);
            else
                QVERIFY(width > 9000);
        }
        QVERIFY(packet.rows.isEmpty());
    }

    void everySlotCanBeMarkedWithoutBreakingTheXml()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("all.xml"));
        QVERIFY(df::createFromTemplate(shipped("Fichora_xml.ref"), copy));
        for (int n = 2; n <= 21; ++n)
            QVERIFY(df::markNumber(copy, n));
        const ParsedPacket packet = parsePacket(contents(copy));
        QVERIFY(packet.ok);
        QCOMPARE(packet.fields.size(), 23);
        for (int n = 1; n <= 23; ++n)
            QCOMPARE(packet.fields.at(n - 1).type, n >= 2 && n <= 21 ? QStringLiteral("r8") : QStringLiteral("string"));
    }

    void configurationHoldsLanguageAndSkin()
    {
        const QByteArray bytes = contents(shipped("Fichora_conf.ref"));
        QVERIFY(bytes.size() >= 37);
        QCOMPARE(bytes.at(25), 'F');
        QVERIFY(bytes.at(36) >= '0' && bytes.at(36) <= '9');
        for (char c : bytes)
            QVERIFY(static_cast<unsigned char>(c) < 128);
    }

    void sampleDatabaseReadsLikeACreatedOne()
    {
        const QString par = shipped("Carnet.par");
        const QString xml = shipped("Carnet.xml");
        const QByteArray templateBytes = contents(shipped("Fichora_par.ref"));
        QCOMPARE(contents(par).size(), templateBytes.size());
        QCOMPARE(contents(par).left(12), templateBytes.left(12));
        QCOMPARE(cp1252::toUnicode(pf::readLabel(par, 1).value()), QStringLiteral("Nom"));
        QCOMPARE(cp1252::toUnicode(pf::readLabel(par, 2).value()), QStringLiteral("Prénom"));
        QCOMPARE(cp1252::toUnicode(pf::readLabel(par, 6).value()), QStringLiteral("Téléphone"));
        QCOMPARE(cp1252::toUnicode(pf::readLabel(par, 8).value()), QStringLiteral("Âge"));
        QCOMPARE(pf::readLabel(par, 23).value(), QByteArray("PHOTO          "));
        QCOMPARE(pf::readLabel(par, 9).value(), QByteArray());
        QCOMPARE(contents(par).mid(pf::labelOffset(2), 15),
                 cp1252::fromUnicode(QStringLiteral("Prénom")) + QByteArray("\0        ", 9));

        const QByteArray data = contents(xml);
        QVERIFY(data.endsWith(df::kPacketEnd));
        QCOMPARE(data.left(df::kRowsOffset).size(), df::kRowsOffset);
        const ParsedPacket packet = parsePacket(data);
        QVERIFY(packet.ok);
        // The two files agree on which fields are numbers, as the creation writes both.
        for (int n = 2; n <= 21; ++n) {
            const bool number = pf::readFieldType(par, n).value() == pf::FieldType::Number;
            QCOMPARE(packet.fields.at(n - 1).type, number ? QStringLiteral("r8") : QStringLiteral("string"));
            const QByteArray expectedSlot =
                number ? df::numberDescription(n) : contents(shipped("Fichora_xml.ref")).mid(df::slotOffset(n), 55);
            QCOMPARE(data.mid(df::slotOffset(n), df::kSlotLength), expectedSlot);
        }
        QCOMPARE(packet.fields.at(7).type, QStringLiteral("r8"));
        QCOMPARE(data.left(df::kRowsOffset).mid(df::kRowDataOffset), QByteArray(df::kRowDataTag));

        QVERIFY(packet.rows.size() >= 25 && packet.rows.size() <= 40);
        static const QRegularExpression number(QStringLiteral("^F08=\\d+$"));
        bool apostrophe = false;
        for (const QStringList& row : packet.rows) {
            QCOMPARE(row.size(), 23);
            for (int n = 1; n <= 23; ++n)
                QVERIFY(row.at(n - 1).startsWith(fieldName(n) + QLatin1Char('=')));
            QVERIFY2(number.match(row.at(7)).hasMatch(), qPrintable(row.at(7)));
            apostrophe = apostrophe || row.at(0).contains(QLatin1Char('\''));
        }
        QCOMPARE(packet.rows.first().at(1), QStringLiteral("F02=Hélène"));
        QVERIFY(apostrophe);
        // The row writer leaves nothing above 127 unescaped.
        for (char c : data)
            QVERIFY(static_cast<unsigned char>(c) < 128);
    }

    void picturesAreBitmapsAndJpeg_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("Smiley.bmp") << QStringLiteral("Smiley.bmp") << QByteArray("BM");
        QTest::newRow("Smiley2.bmp") << QStringLiteral("Smiley2.bmp") << QByteArray("BM");
        QTest::newRow("Smiley.jpg") << QStringLiteral("Smiley.jpg") << QByteArray("\xFF\xD8\xFF");
    }
    void picturesAreBitmapsAndJpeg()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        const QByteArray bytes = contents(test::resourcePath(name));
        QVERIFY(bytes.startsWith(magic));
        if (magic == "BM") {
            QCOMPARE(le32(bytes, 2), quint32(bytes.size()));
            QCOMPARE(le32(bytes, 18), 200u);
            QCOMPARE(le32(bytes, 22), 200u);
        }
    }

    void soundsArePcmOfTheirLength_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("bark") << QStringLiteral("big-dog-barking.wav") << 1.0 << 2.0;
        for (const char* beep : {"exclamation", "information", "warning", "default"})
            QTest::addRow("%s", beep) << QStringLiteral("beep-%1.wav").arg(QLatin1String(beep)) << 0.1 << 0.4;
    }
    void soundsArePcmOfTheirLength()
    {
        QFETCH(QString, name);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const QByteArray bytes = contents(test::resourcePath(name));
        QVERIFY(bytes.startsWith("RIFF"));
        QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le16(bytes, 20), quint16(1)); // PCM
        QCOMPARE(le16(bytes, 22), quint16(1)); // mono
        QCOMPARE(le32(bytes, 24), 44100u);
        QCOMPARE(le16(bytes, 34), quint16(16));
        const qsizetype data = bytes.indexOf("data");
        QVERIFY(data > 0);
        const double seconds = le32(bytes, data + 4) / (44100.0 * 2);
        QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));
    }

    void tenSkinsAreListedUnderTheirPrefix()
    {
        const QString dir = test::resourcePath(QStringLiteral("../skins/"));
        const QByteArray qrc = contents(dir + QStringLiteral("skins.qrc"));
        QVERIFY(qrc.contains("<qresource prefix=\"/skins\">"));
        for (int n = 0; n <= 9; ++n) {
            const QString file = QStringLiteral("skin%1.qss").arg(n);
            QVERIFY2(qrc.contains("<file>" + file.toLatin1() + "</file>"), qPrintable(file));
            const QByteArray sheet = contents(dir + file);
            QVERIFY2(sheet.startsWith("/*"), qPrintable(file));
            QCOMPARE(sheet.count('{'), sheet.count('}'));
            for (const char* selector : {"QWidget", "QPushButton", "QLineEdit", "QTableView", "QHeaderView", "QToolTip",
                                         "QScrollBar", "QProgressBar", "QComboBox", "QGroupBox"})
                QVERIFY2(sheet.contains(selector), qPrintable(file + QLatin1Char(' ') + QLatin1String(selector)));
            // Colours the program sets at run time on named controls must win: no objectName selectors.
            static const QRegularExpression byName(QStringLiteral("[A-Za-z]#[A-Za-z]"));
            QVERIFY2(!byName.match(QString::fromLatin1(sheet)).hasMatch(), qPrintable(file));
        }
        QVERIFY(!qrc.contains("skin10"));
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
