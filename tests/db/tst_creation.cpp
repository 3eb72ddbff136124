#include "app/messages.h"
#include "app/session.h"
#include "db/creation.h"
#include "db/database.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>
#include <set>

using namespace fichora;
using fichora::test::ScriptedServices;
using Kind = ScriptedServices::Kind;

namespace {

namespace pf = parameterfile;

using test::readAll;
using test::writeAll;

QByteArray int32Bytes(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// The offsets at which two files of the same length differ.
std::set<qint64> differingOffsets(const QByteArray& a, const QByteArray& b)
{
    std::set<qint64> offsets;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            offsets.insert(i);
    return offsets;
}

bool within(qint64 offset, const std::vector<std::pair<qint64, qint64>>& ranges)
{
    for (const auto& [from, length] : ranges)
        if (offset >= from && offset < from + length)
            return true;
    return false;
}

creation::NewDatabase minimalInput()
{
    creation::NewDatabase input;
    input.name = QStringLiteral("Clients");
    input.labels[0] = QStringLiteral("Nom");
    input.labels[1] = QStringLiteral("Ville");
    input.widths.fill(QStringLiteral("145"));
    return input;
}

// A device whose seek or write fails, standing in for a parameter copy that cannot be patched.
class FailingDevice : public QBuffer
{
public:
    enum class Fault { Seek, Write };
    explicit FailingDevice(Fault fault) : m_fault(fault) { open(QIODevice::ReadWrite); }
    bool seek(qint64 pos) override { return m_fault == Fault::Seek ? false : QBuffer::seek(pos); }

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        return m_fault == Fault::Write ? -1 : QBuffer::writeData(data, length);
    }

private:
    Fault m_fault;
};

} // namespace

class TestCreation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_target;
    Session m_session;
    ScriptedServices m_services;

    // The message boxes shown, without the file dialogs.
    QList<ScriptedServices::Shown> boxes() const
    {
        QList<ScriptedServices::Shown> out;
        for (const auto& s : m_services.shown())
            if (s.kind != Kind::SaveDialog && s.kind != Kind::OpenDialog)
                out.append(s);
        return out;
    }
    QStringList boxTexts() const
    {
        QStringList out;
        for (const auto& s : boxes())
            out.append(s.text);
        return out;
    }

    QString base(const QString& name) const { return m_target.filePath(name); }
    creation::Outcome create(const creation::NewDatabase& input, const creation::DeviceOpener& opener = {})
    {
        return creation::createDatabase(m_session, m_services, input, opener);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_program.isValid() && m_target.isValid());
        for (const char* name : {creation::kParameterTemplate, creation::kDataTemplate}) {
            QFile::remove(m_program.filePath(QLatin1String(name)));
            QVERIFY(QFile::copy(test::resourcePath(QLatin1String(name)), m_program.filePath(QLatin1String(name))));
        }
        for (const QString& entry : QDir(m_target.path()).entryList(QDir::Files))
            QFile::remove(m_target.filePath(entry));
        m_session = Session{};
        m_session.programDirectory = m_program.path() + QLatin1Char('/');
        m_services.clear();
    }

    void createdFilesDifferFromTemplatesOnlyWherePatched()
    {
        creation::NewDatabase input;
        input.name = QStringLiteral("Clients");
        input.labels[0] = QStringLiteral("Nom");
        input.labels[1] = QStringLiteral("Prénom");
        input.labels[2] = QStringLiteral("ABCDEFGHIJKLMNO"); // exactly 15: no zero byte
        input.labels[3] = QStringLiteral("Age");
        input.labels[20] = QStringLiteral("Cotisation");
        input.labels[21] = QStringLiteral("Notes");
        input.widths = {QStringLiteral("80"),
                        QStringLiteral("abc"),
                        QStringLiteral("900"),
                        QStringLiteral("-5"),
                        QString(),
                        QStringLiteral("600"),
                        QStringLiteral("601"),
                        QStringLiteral("145"),
                        QStringLiteral("20"),
                        QStringLiteral("1"),
                        QStringLiteral("2"),
                        QStringLiteral("250")};
        input.numbers[3] = true;  // field 4
        input.numbers[20] = true; // field 21
        input.numbers[0] = true;  // fields 1 and 22 are never numbers, whatever is asked
        input.numbers[21] = true;
        m_services.setNextFileName(base(QStringLiteral("Clients")));

        QCOMPARE(create(input), creation::Outcome::Created);

        const QString par = base(QStringLiteral("Clients.par"));
        const QString xml = base(QStringLiteral("Clients.xml"));
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].kind, Kind::Information);
        QCOMPARE(boxes()[0].text, message(Msg::NewDatabaseCreated, 'F').arg(xml));
        QCOMPARE(m_services.dialogs().size(), 1);
        QCOMPARE(m_services.dialogs()[0].fileName, QStringLiteral("Clients"));
        QCOMPARE(m_services.dialogs()[0].title,
                 QString::fromUtf8("Choix du repertoire pour la nouvelle base de données"));
        QVERIFY(m_services.dialogs()[0].defaultSuffix.isEmpty());

        // Parameter file: labels and widths of all 23 fields, "integr" for fields 4 and 21 only.
        const QByteArray parTemplate = readAll(test::resourcePath(QLatin1String(creation::kParameterTemplate)));
        const QByteArray parBytes = readAll(par);
        QCOMPARE(parBytes.size(), parTemplate.size());
        std::vector<std::pair<qint64, qint64>> patched;
        for (int n = 1; n <= 23; ++n) {
            patched.emplace_back(pf::labelOffset(n), 15);
            patched.emplace_back(pf::widthOffset(n), 4);
        }
        patched.emplace_back(pf::fieldTypeOffset(4), 6);
        patched.emplace_back(pf::fieldTypeOffset(21), 6);
        for (qint64 offset : differingOffsets(parBytes, parTemplate))
            QVERIFY2(within(offset, patched), qPrintable(QStringLiteral("unexpected change at %1").arg(offset)));

        const auto labelAt = [&](int n) { return parBytes.mid(pf::labelOffset(n), 15); };
        QCOMPARE(labelAt(1), QByteArray("Nom\0           ", 15));
        QCOMPARE(labelAt(2), QByteArray("Pr\xe9nom\0        ", 15));
        QCOMPARE(labelAt(3), QByteArray("ABCDEFGHIJKLMNO"));
        QCOMPARE(labelAt(5), QByteArray("\0              ", 15));
        QCOMPARE(labelAt(22), QByteArray("Notes\0         ", 15));
        QCOMPARE(labelAt(23), QByteArray("PHOTO          "));

        const std::array<qint32, 23> widths = {80,  145, 600, -5,  145, 600, 600, 145, 20,  1,   2,  145,
                                               145, 145, 145, 145, 145, 145, 145, 145, 145, 145, 250};
        for (int n = 1; n <= 23; ++n)
            QCOMPARE(parBytes.mid(pf::widthOffset(n), 4), int32Bytes(widths[static_cast<size_t>(n - 1)]));

        for (int n = 1; n <= 23; ++n) {
            const QByteArray expected =
                (n == 4 || n == 21) ? QByteArray("integr") : parTemplate.mid(pf::fieldTypeOffset(n), 6);
            QCOMPARE(parBytes.mid(pf::fieldTypeOffset(n), 6), expected);
        }

        // Data file: the template with the slots of fields 4 and 21 replaced, nothing else.
        const QByteArray xmlTemplate = readAll(test::resourcePath(QLatin1String(creation::kDataTemplate)));
        QByteArray expectedXml = xmlTemplate;
        expectedXml.replace(datafile::slotOffset(4), 55,
                            QByteArray("<FIELD attrname=\"F04\" fieldtype=\"r8\"/>                 "));
        expectedXml.replace(datafile::slotOffset(21), 55,
                            QByteArray("<FIELD attrname=\"F21\" fieldtype=\"r8\"/>                 "));
        QCOMPARE(readAll(xml), expectedXml);

        // The new database opens with what was typed.
        Session opened;
        opened.programDirectory = m_session.programDirectory;
        ScriptedServices openServices;
        QCOMPARE(openDatabaseFile(opened, openServices, xml, {}), OpenResult::Opened);
        QCOMPARE(opened.fields[0].label, QByteArray("Nom"));
        QCOMPARE(opened.fields[1].label, QByteArray("Pr\xe9nom"));
        QCOMPARE(opened.fields[22].label, QByteArray("PHOTO          "));
        QVERIFY(opened.fields[3].isNumber && opened.fields[20].isNumber);
        QVERIFY(!opened.fields[0].isNumber && !opened.fields[1].isNumber && !opened.fields[21].isNumber);
        QVERIFY(!opened.fields[4].inUse);
        QCOMPARE(opened.fields[0].width, 80);
        QCOMPARE(opened.fields[22].width, 250);
        QVERIFY(opened.records.fields()[3].isNumber);
        QVERIFY(!opened.records.fields()[4].isNumber);
        QCOMPARE(opened.records.recordCount(), 0);
        runCloseSteps(opened);
    }

    void nameTypedWithExtensionKeepsIt()
    {
        m_services.setNextFileName(base(QStringLiteral("Clients.xml")));
        QCOMPARE(create(minimalInput()), creation::Outcome::Created);
        QVERIFY(QFileInfo::exists(base(QStringLiteral("Clients.xml.par"))));
        QVERIFY(QFileInfo::exists(base(QStringLiteral("Clients.xml.xml"))));
        QVERIFY(!QFileInfo::exists(base(QStringLiteral("Clients.par"))));
    }

    void incompleteEntriesAreRefused_data()
    {
        QTest::addColumn<int>("emptied"); // 0 the name, 1 field 1's label, 2 field 2's label
        QTest::addColumn<char>("language");
        QTest::newRow("no name") << 0 << 'F';
        QTest::newRow("no label 1") << 1 << 'F';
        QTest::newRow("no label 2, English") << 2 << 'E';
    }
    void incompleteEntriesAreRefused()
    {
        QFETCH(int, emptied);
        QFETCH(char, language);
        m_session.language = language;
        creation::NewDatabase input = minimalInput();
        (emptied == 0 ? input.name : input.labels[static_cast<size_t>(emptied - 1)]).clear();
        m_services.setNextFileName(base(QStringLiteral("Clients")));

        QCOMPARE(create(input), creation::Outcome::Stopped);
        QVERIFY(m_services.dialogs().isEmpty());
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].kind, Kind::Error);
        QCOMPARE(boxes()[0].text,
                 QString::fromUtf8(language == 'F' ? "Vous devez indiquer un nom pour la nouvelle base de données, \n"
                                                     "et un nom pour les deux premiers champs au moins"
                                                   : "You must type-in a name for the new database, \nand a name "
                                                     "for at least the two first fields"));
        QVERIFY(QDir(m_target.path()).isEmpty());
    }

    void cancellingTheDialogWritesNothing()
    {
        QCOMPARE(create(minimalInput()), creation::Outcome::Cancelled);
        QVERIFY(boxes().isEmpty());
        QVERIFY(QDir(m_target.path()).isEmpty());
    }

    // An existing database keeps both its files; one kept only as ".cip" + ".par" is refused too,
    // since copying the template would wipe its structure and protection.
    void existingDatabaseIsRefused_data()
    {
        QTest::addColumn<QString>("existing"); // the data or ciphered file present beside the ".par"
        QTest::addColumn<char>("language");
        QTest::newRow("plain") << QStringLiteral("Clients.xml") << 'F';
        QTest::newRow("ciphered only") << QStringLiteral("Clients.cip") << 'F';
        QTest::newRow("ciphered only, English") << QStringLiteral("Clients.cip") << 'E';
    }
    void existingDatabaseIsRefused()
    {
        QFETCH(QString, existing);
        QFETCH(char, language);
        m_session.language = language;
        const QByteArray oldPar = QByteArray(1840, 'P');
        writeAll(base(QStringLiteral("Clients.par")), oldPar);
        writeAll(base(existing), "old records");
        m_services.setNextFileName(base(QStringLiteral("Clients")));

        QCOMPARE(create(minimalInput()), creation::Outcome::Stopped);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].kind, Kind::Error);
        const char* expected = language == 'F'
                                   ? "La base de données \n%1\nexiste déja.\nDétruisez la ou choisissez un "
                                     "autre nom."
                                   : "The database \n%1\nalready exist.\nDestroy it or choose another name.";
        QCOMPARE(boxes()[0].text, QString::fromUtf8(expected).arg(base(existing)));
        QCOMPARE(readAll(base(QStringLiteral("Clients.par"))), oldPar);
        QCOMPARE(readAll(base(existing)), QByteArray("old records"));
        QCOMPARE(QDir(m_target.path()).entryList(QDir::Files).size(), 2);
    }

    // Each failure shows its message and leaves behind what was already written.
    void failuresShowTheirMessage_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text"); // %1: the file named
        QTest::addColumn<bool>("parameterFileLeft");
        QTest::newRow("M2 template missing") << QStringLiteral("no par template") << int(Kind::Error)
                                             << QString::fromUtf8("Impossible de créèr %1\n\n") << false;
        QTest::newRow("M3 cannot open") << QStringLiteral("open") << int(Kind::Plain)
                                        << QStringLiteral("Cannot open file :\n\n %1\n\nError 31") << true;
        QTest::newRow("M4 seek") << QStringLiteral("seek") << int(Kind::Plain)
                                 << QStringLiteral("Seek failure on %1\n\nError 30 bis") << true;
        QTest::newRow("M5 write") << QStringLiteral("write") << int(Kind::Plain)
                                  << QStringLiteral("Write error on file :\n\n %1\n\nError 30") << true;
        QTest::newRow("M6 data template missing")
            << QStringLiteral("no xml template") << int(Kind::Error)
            << QString::fromUtf8("La base de données \n%1\nexiste déja.\nDétruisez la ou choisissez un autre nom.")
            << true;
    }
    void failuresShowTheirMessage()
    {
        QFETCH(QString, failure);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(bool, parameterFileLeft);
        if (failure == QLatin1String("no par template"))
            QVERIFY(QFile::remove(m_program.filePath(QLatin1String(creation::kParameterTemplate))));
        if (failure == QLatin1String("no xml template"))
            QVERIFY(QFile::remove(m_program.filePath(QLatin1String(creation::kDataTemplate))));
        creation::DeviceOpener opener;
        if (failure == QLatin1String("open"))
            opener = [](const QString&) { return std::unique_ptr<QIODevice>(); };
        if (failure == QLatin1String("seek") || failure == QLatin1String("write"))
            opener = [failure](const QString&) -> std::unique_ptr<QIODevice> {
                return std::make_unique<FailingDevice>(failure == QLatin1String("seek") ? FailingDevice::Fault::Seek
                                                                                        : FailingDevice::Fault::Write);
            };
        m_services.setNextFileName(base(QStringLiteral("Clients")));

        QCOMPARE(create(minimalInput(), opener), creation::Outcome::Stopped);

        const QString named = failure == QLatin1String("no xml template") ? base(QStringLiteral("Clients.xml"))
                                                                          : base(QStringLiteral("Clients.par"));
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(int(boxes()[0].kind), kind);
        QCOMPARE(boxes()[0].text, text.arg(named));
        QCOMPARE(QFileInfo::exists(base(QStringLiteral("Clients.par"))), parameterFileLeft);
        QVERIFY(!QFileInfo::exists(base(QStringLiteral("Clients.xml"))));
    }

    void englishMessages()
    {
        m_session.language = 'E';
        m_services.setNextFileName(base(QStringLiteral("Clients")));
        QCOMPARE(create(minimalInput()), creation::Outcome::Created);
        QCOMPARE(m_services.dialogs()[0].title, QStringLiteral("Directory for the new database"));
        QCOMPARE(boxTexts(),
                 QStringList{QStringLiteral("The database :\n%1\nhas been successfully created.\n\nYou now can open it "
                                            "and type-in data.\nYou can also change its structure to \nread-only, "
                                            "or cipher it.")
                                 .arg(base(QStringLiteral("Clients.xml")))});

        QVERIFY(QFile::remove(m_program.filePath(QLatin1String(creation::kParameterTemplate))));
        m_services.clear();
        m_services.setNextFileName(base(QStringLiteral("Other")));
        QCOMPARE(create(minimalInput()), creation::Outcome::Stopped);
        QCOMPARE(boxTexts(),
                 QStringList{QStringLiteral("Cannot create %1\n\n").arg(base(QStringLiteral("Other.par")))});
    }

    void columnWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("number") << QStringLiteral("80") << 80;
        QTest::newRow("cap") << QStringLiteral("601") << 600;
        QTest::newRow("cap kept") << QStringLiteral("600") << 600;
        QTest::newRow("no lower bound") << QStringLiteral("-20") << -20;
        QTest::newRow("zero") << QStringLiteral("0") << 0;
        QTest::newRow("empty") << QString() << 145;
        QTest::newRow("letters") << QStringLiteral("12a") << 145;
        QTest::newRow("too large for 32 bits") << QStringLiteral("99999999999") << 145;
    }
    void columnWidth()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QCOMPARE(creation::columnWidth(text), width);
    }

    void preparingClosesTheOpenDatabaseUnlessCancelled()
    {
        m_services.setNextFileName(base(QStringLiteral("Clients")));
        QCOMPARE(create(minimalInput()), creation::Outcome::Created);
        ScriptedServices services;
        QCOMPARE(openDatabaseFile(m_session, services, base(QStringLiteral("Clients.xml")), {}), OpenResult::Opened);
        m_session.modified = true;

        services.setNextAnswer(false);
        QVERIFY(!creation::prepare(m_session, services));
        QVERIFY(m_session.open);

        services.setNextAnswer(true);
        QVERIFY(creation::prepare(m_session, services));
        QVERIFY(!m_session.open);
        QVERIFY(creation::prepare(m_session, services)); // nothing open: nothing asked
        QCOMPARE(services.shown().size(), 2);            // the two questions
    }
};

QTEST_GUILESS_MAIN(TestCreation)
#include "tst_creation.moc"
