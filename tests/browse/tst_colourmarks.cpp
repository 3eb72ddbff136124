#include "app/session.h"
#include "browse/colourmarks.h"
#include "db/datafile.h"
#include "testdirs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
namespace cm = fichora::colourmarks;

Q_DECLARE_METATYPE(std::optional<cm::Rgb>)

class TestColourMarks : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // An open database of two records whose F21 holds `marks` in the first one (null when empty).
    void openDatabase(Session& session, const QByteArray& marks)
    {
        const QString path = m_dir.filePath(QStringLiteral("marks.xml"));
        QFile::remove(path);
        QVERIFY(datafile::createFromTemplate(test::resourcePath(QStringLiteral("Fichora_xml.ref")), path).has_value());
        const QByteArray first = marks.isEmpty() ? QByteArray() : " F21=\"" + marks + "\"";
        QVERIFY(datafile::writeRowsIntoTemplateCopy(path, "<ROW F01=\"a\"" + first + "/><ROW F01=\"b\"/>").has_value());
        QVERIFY(session.records.loadFromFile(path).has_value());
        session.open = true;
        session.loadedDataFile = path;
        session.records.first();
    }

    static QByteArray marksOf(const Session& session, int position)
    {
        const std::string text = session.records.textAt(session.records.rowAt(position), cm::kMarkField - 1);
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }

private Q_SLOTS:
    void keysSetTheirFieldsCharacter_data()
    {
        QTest::addColumn<QByteArray>("marks");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("R on F04 of an empty string") << QByteArray() << 4 << int(Qt::Key_R) << QByteArray("_R_");
        QTest::newRow("B clears to white") << QByteArray("_R_") << 4 << int(Qt::Key_B) << QByteArray("_ _");
        QTest::newRow("V on F03") << QByteArray("OOO") << 3 << int(Qt::Key_V) << QByteArray("VOO");
        QTest::newRow("O on F05") << QByteArray("RRR") << 5 << int(Qt::Key_O) << QByteArray("RRO");
        QTest::newRow("wrong length normalised first")
            << QByteArray("RRRR") << 5 << int(Qt::Key_V) << QByteArray("__V");
        QTest::newRow("other field: only normalised") << QByteArray("ab") << 6 << int(Qt::Key_R) << QByteArray("___");
        QTest::newRow("other key: unchanged") << QByteArray("R_V") << 3 << int(Qt::Key_X) << QByteArray("R_V");
    }
    void keysSetTheirFieldsCharacter()
    {
        QFETCH(QByteArray, marks);
        QFETCH(int, field);
        QFETCH(int, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(cm::afterKey(marks, field, key), expected);
    }

    void cellsTakeTheirMarksColour_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("marks");
        QTest::addColumn<std::optional<cm::Rgb>>("colour");
        const std::optional<cm::Rgb> none;
        QTest::newRow("F03 red") << 2 << QByteArray("R__") << std::optional(cm::Rgb{255, 0, 0});
        QTest::newRow("F04 orange-yellow") << 3 << QByteArray("_O_") << std::optional(cm::Rgb{232, 206, 32});
        QTest::newRow("F05 green, case ignored") << 4 << QByteArray("__v") << std::optional(cm::Rgb{106, 209, 65});
        QTest::newRow("space white") << 3 << QByteArray("R V") << std::optional(cm::Rgb{255, 255, 255});
        QTest::newRow("underscore: grid's own") << 2 << QByteArray("_RR") << none;
        QTest::newRow("other character") << 2 << QByteArray("xRR") << none;
        QTest::newRow("F02 never") << 1 << QByteArray("RRR") << none;
        QTest::newRow("F06 never") << 5 << QByteArray("RRR") << none;
        QTest::newRow("short string") << 4 << QByteArray("RR") << none;
    }
    void cellsTakeTheirMarksColour()
    {
        QFETCH(int, column);
        QFETCH(QByteArray, marks);
        QFETCH(std::optional<cm::Rgb>, colour);
        QCOMPARE(cm::cellColour(column, std::string_view(marks.constData(), marks.size())), colour);
    }

    void ctrlKeyStoresTheMarkString()
    {
        Session session;
        openDatabase(session, QByteArray());

        QCOMPARE(cm::keyWithCtrl(session, 4, Qt::Key_R), cm::KeyResult::Stored);
        QCOMPARE(marksOf(session, 0), QByteArray("_R_"));
        QVERIFY(session.modified);
        QCOMPARE(session.records.state(), RecordTable::State::Browse);
        QCOMPARE(cm::cellColour(3, marksOf(session, 0).toStdString()), std::optional(cm::kRed));

        QCOMPARE(cm::keyWithCtrl(session, 4, Qt::Key_B), cm::KeyResult::Stored);
        QCOMPARE(marksOf(session, 0), QByteArray("_ _"));
        QCOMPARE(cm::cellColour(3, marksOf(session, 0).toStdString()), std::optional(cm::kWhite));
        QCOMPARE(marksOf(session, 1), QByteArray()); // the other record is untouched
    }

    // F21 defined, a protected database, or none open: the record keeps its value.
    void ctrlKeyChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("result");
        QTest::newRow("F21 defined") << QByteArray("Remarque") << ' ' << true << int(cm::KeyResult::Inactive);
        QTest::newRow("protected") << QByteArray() << 'P' << true << int(cm::KeyResult::Refused);
        QTest::newRow("not open") << QByteArray() << ' ' << false << int(cm::KeyResult::Ignored);
    }
    void ctrlKeyChangesNothing()
    {
        QFETCH(QByteArray, label);
        QFETCH(char, readOnly);
        QFETCH(bool, open);
        QFETCH(int, result);
        Session session;
        openDatabase(session, "R");
        session.fields[cm::kMarkField - 1].label = label;
        session.readOnly = readOnly;
        session.open = open;

        QCOMPARE(int(cm::keyWithCtrl(session, 3, Qt::Key_V)), result);
        QCOMPARE(marksOf(session, 0), QByteArray("R"));
        QVERIFY(!session.modified);
        QCOMPARE(session.records.state(), RecordTable::State::Browse);
    }
};

QTEST_GUILESS_MAIN(TestColourMarks)
#include "tst_colourmarks.moc"
