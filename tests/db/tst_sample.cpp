#include "browse/picturelist.h"
#include "db/parameterfile.h"
#include "platform/cp1252.h"
#include "platform/recordtable.h"
#include "testdirs.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace fichora;

/// The address book shipped in the program folder is what a newcomer opens first: it must load in the
/// record table as the program itself would see it.
class TestSample : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleLoadsWithItsNumberFieldAndAccents()
    {
        RecordTable table;
        const auto loaded = table.loadFromFile(test::resourcePath(QStringLiteral("Carnet.xml")));
        QVERIFY2(loaded.has_value(), loaded ? "" : qPrintable(loaded.error().message));
        QCOMPARE(table.fieldCount(), 23);
        QVERIFY(table.recordCount() >= 25);

        // The data file and the parameter file agree on which fields are numbers.
        const QString par = test::resourcePath(QStringLiteral("Carnet.par"));
        for (int n = 2; n <= 21; ++n) {
            const auto type = parameterfile::readFieldType(par, n);
            QVERIFY(type.has_value());
            QCOMPARE(table.fields()[static_cast<std::size_t>(n - 1)].isNumber,
                     *type == parameterfile::FieldType::Number);
        }

        bool accented = false;
        bool longText = false;
        for (int r = 0; r < table.recordCount(); ++r) {
            const QString name = cp1252::toUnicode(table.textAt(table.rowAt(r), 1));
            accented = accented || name.contains(QRegularExpression(QStringLiteral("[éèêëàâçîïôûü]")));
            longText = longText || table.textAt(table.rowAt(r), 21).size() > 100;
        }
        QVERIFY(accented);
        QVERIFY(longText);
    }

    /// The picture lists name files of the sample's own folder, relative to the program folder, and
    /// each file is what its name says it is.
    void samplePicturesAreShippedBesideIt()
    {
        RecordTable table;
        QVERIFY(table.loadFromFile(test::resourcePath(QStringLiteral("Carnet.xml"))).has_value());
        const int field = table.fieldIndex("F23");
        QSet<picturelist::Form> forms;
        QSet<QString> named;
        bool tenWithTextAndPdf = false;
        for (int r = 0; r < table.recordCount(); ++r) {
            const std::string list(table.textAt(table.rowAt(r), field));
            forms.insert(picturelist::formOf(list));
            QSet<QString> suffixes;
            int count = 0;
            for (const std::string& bytes : picturelist::read(list)) {
                if (bytes.empty())
                    continue;
                const QString name = cp1252::toUnicode(bytes);
                QVERIFY2(name.startsWith(QStringLiteral("Carnet/")), qPrintable(name));
                QVERIFY2(QFileInfo(test::resourcePath(name)).isFile(), qPrintable(name));
                suffixes.insert(QFileInfo(name).suffix().toLower());
                named.insert(name);
                ++count;
            }
            tenWithTextAndPdf =
                tenWithTextAndPdf || (count == picturelist::kSlotCount && suffixes.contains(QStringLiteral("txt")) &&
                                      suffixes.contains(QStringLiteral("pdf")));
        }
        QCOMPARE(forms.size(), 3); // some records without pictures, one single name, lists of slots
        QVERIFY(tenWithTextAndPdf);
        // Nothing in the folder that no record names.
        const QDir folder(test::resourcePath(QStringLiteral("Carnet")));
        QCOMPARE(folder.entryList(QDir::Files).size(), named.size());

        bool upperCaseType = false;
        for (const QString& name : std::as_const(named)) {
            const QString suffix = QFileInfo(name).suffix();
            upperCaseType = upperCaseType || suffix == QStringLiteral("JPG");
            const QByteArray bytes = test::readAll(test::resourcePath(name));
            if (suffix == QStringLiteral("pdf")) {
                QVERIFY2(bytes.startsWith("%PDF-1.") && bytes.trimmed().endsWith("%%EOF"), qPrintable(name));
            } else if (suffix == QStringLiteral("txt")) {
                // Windows-1252 with CRLF line ends: accents as single bytes, no bare line feed.
                const QString text = cp1252::toUnicode(bytes);
                QVERIFY2(text.contains(QChar(0xE9)) && !text.contains(QChar(0xC3)), qPrintable(name));
                QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
                QVERIFY(bytes.endsWith("\r\n"));
            } else {
                // Pictures are of the type their name says.
                static const QHash<picturelist::PictureType, QByteArray> kMagic{
                    {picturelist::PictureType::Jpeg, QByteArray("\xFF\xD8\xFF")},
                    {picturelist::PictureType::Png, QByteArray("\x89PNG\r\n\x1A\n")},
                    {picturelist::PictureType::Gif, QByteArray("GIF89a")}};
                const auto type = picturelist::pictureType(name);
                QVERIFY2(kMagic.contains(type) && bytes.startsWith(kMagic.value(type)), qPrintable(name));
            }
        }
        QVERIFY(upperCaseType);
    }
};

QTEST_GUILESS_MAIN(TestSample)
#include "tst_sample.moc"
