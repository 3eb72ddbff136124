#include "app/configfile.h"
#include "app/skins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;

namespace {

const QString kName = QStringLiteral("Fichora_conf.ref");

// A configuration file of `size` bytes with the language byte at 25 and the skin byte at 36
// (where the size leaves room for them); the other bytes are a recognisable filler.
QByteArray configBytes(int size, char language, char skin)
{
    QByteArray bytes(size, '.');
    if (size > kLanguageOffset)
        bytes[kLanguageOffset] = language;
    if (size > kSkinOffset)
        bytes[kSkinOffset] = skin;
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString programDirectory() const { return m_dir.path() + QLatin1Char('/'); }
    QString configPath() const { return QDir(m_dir.path()).filePath(kName); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        QDir::setCurrent(QDir::tempPath());
    }

    void readsLanguageAndSkin_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<char>("language");
        QTest::addColumn<int>("skin");
        QTest::newRow("french, skin 0") << configBytes(40, 'F', '0') << 'F' << 0;
        QTest::newRow("english, skin 7") << configBytes(37, 'E', '7') << 'E' << 7;
        QTest::newRow("skin 9") << configBytes(37, 'F', '9') << 'F' << 9;
        QTest::newRow("X means no skin") << configBytes(37, 'F', 'X') << 'F' << kNoSkin;
        QTest::newRow("any other byte is no skin") << configBytes(37, 'E', 'a') << 'E' << kNoSkin;
        QTest::newRow("odd language byte read as stored") << configBytes(37, 'X', '3') << 'X' << 3;
        QTest::newRow("too short for the skin byte") << configBytes(30, 'E', '5') << 'E' << kNoSkin;
        QTest::newRow("too short for both bytes") << configBytes(20, 'E', '5') << 'F' << kNoSkin;
        QTest::newRow("empty file") << QByteArray() << 'F' << kNoSkin;
    }

    void readsLanguageAndSkin()
    {
        QFETCH(QByteArray, contents);
        QFETCH(char, language);
        QFETCH(int, skin);
        writeFile(configPath(), contents);

        const auto config = readConfig(programDirectory());

        QVERIFY(config.has_value());
        QCOMPARE(config->language, language);
        QCOMPARE(config->skin, skin);
        QCOMPARE(QDir::current().canonicalPath(), QDir(m_dir.path()).canonicalPath());
    }

    void missingFileFailsWithTheReadMessage()
    {
        const auto config = readConfig(programDirectory());
        QVERIFY(!config.has_value());
        QCOMPARE(config.error().message, QStringLiteral("Cannot open file \"Fichora_conf.ref\" for reading"));
    }

    void writesOnlyItsByte_data()
    {
        QTest::addColumn<bool>("language");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<char>("byte");
        QTest::newRow("language E") << true << int('E') << 25 << 'E';
        QTest::newRow("language F") << true << int('F') << 25 << 'F';
        QTest::newRow("skin 4") << false << 4 << 36 << '4';
        QTest::newRow("no skin") << false << kNoSkin << 36 << 'X';
    }

    void writesOnlyItsByte()
    {
        QFETCH(bool, language);
        QFETCH(int, value);
        QFETCH(int, offset);
        QFETCH(char, byte);
        const QByteArray before = configBytes(48, 'x', 'y');
        writeFile(configPath(), before);
        QDir::setCurrent(QDir::tempPath());

        const auto written = language ? writeLanguageByte(programDirectory(), static_cast<char>(value))
                                      : writeSkinByte(programDirectory(), value);

        QVERIFY(written.has_value());
        QByteArray expected = before;
        expected[offset] = byte;
        QCOMPARE(readFile(configPath()), expected);
    }

    void unwritableFileIsNeitherCreatedNorExtended_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("missing file") << QStringLiteral("missing");
        QTest::newRow("directory with the file's name") << QStringLiteral("directory");
        QTest::newRow("file too short") << QStringLiteral("short");
    }

    void unwritableFileIsNeitherCreatedNorExtended()
    {
        QFETCH(QString, setup);
        if (setup == QLatin1String("directory"))
            QVERIFY(QDir(m_dir.path()).mkdir(kName));
        if (setup == QLatin1String("short"))
            writeFile(configPath(), QByteArray(10, '.'));
        const QByteArray before = readFile(configPath());

        const auto language = writeLanguageByte(programDirectory(), 'E');
        const auto skin = writeSkinByte(programDirectory(), 3);

        const QString message = QStringLiteral("Cannot open file \"Fichora_conf.ref\" for writing");
        QVERIFY(!language.has_value());
        QCOMPARE(language.error().message, message);
        QVERIFY(!skin.has_value());
        QCOMPARE(skin.error().message, message);
        QCOMPARE(QFileInfo(configPath()).exists(), setup != QLatin1String("missing"));
        QCOMPARE(readFile(configPath()), before);
    }

    void skinButtonCycle()
    {
        // From a stored 7: 8, 9, no skin, then round to 0.
        int skin = skinFromByte('7');
        QCOMPARE(skin, 7);
        QCOMPARE(skinCaption(skin), QStringLiteral("7"));
        QStringList captions;
        QByteArray bytes;
        for (int press = 0; press < 4; ++press) {
            skin = nextSkin(skin);
            captions << skinCaption(skin);
            bytes += skinByte(skin);
        }
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("X"), QStringLiteral("0")}));
        QCOMPARE(bytes, QByteArray("89X0"));
        QCOMPARE(nextSkin(0), 1);
        QCOMPARE(skinResource(3), QStringLiteral(":/skins/skin3.qss"));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
