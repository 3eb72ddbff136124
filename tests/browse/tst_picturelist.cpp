#include "browse/picturelist.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
using namespace fichora::picturelist;

namespace {

// The ten names as one text, slots joined by "/", so that a table row reads like the list itself.
QString joined(const Names& names)
{
    QStringList parts;
    for (const std::string& name : names)
        parts << QString::fromLatin1(name.c_str());
    return parts.join(QLatin1Char('/'));
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

class TestPictureList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheThreeForms_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("/////////") << 0;
        QTest::newRow("one name, whole value")
            << QByteArray("C:\\photo.jpg") << QStringLiteral("C:\\photo.jpg/////////") << 1;
        // Without a leading bar the one-character rule does not apply, and later bars are part of the name.
        QTest::newRow("one short name") << QByteArray("x") << QStringLiteral("x/////////") << 1;
        QTest::newRow("single form keeps its bars") << QByteArray("a|b") << QStringLiteral("a|b/////////") << 1;
        QTest::newRow("two pictures") << QByteArray("|C:\\a.bmp|C:\\b.jpg||||||||")
                                      << QStringLiteral("C:\\a.bmp/C:\\b.jpg////////") << 2;
        QTest::newRow("one document") << QByteArray("|C:\\doc\\letter.doc|||||||||")
                                      << QStringLiteral("C:\\doc\\letter.doc/////////") << 1;
        QTest::newRow("one character is empty")
            << QByteArray("|a|bb|c||||||d|ee") << QStringLiteral("/bb////////ee") << 2;
        // The tenth slot runs to the end of the value, bars included.
        QTest::newRow("tenth slot to the end")
            << QByteArray("|||||||||| last|with|bars") << QStringLiteral("///////// last|with|bars") << 1;
        QTest::newRow("only the bars") << QByteArray("||||||||||") << QStringLiteral("/////////") << 0;
        QTest::newRow("fewer than ten bars") << QByteArray("|one|two") << QStringLiteral("one/two////////") << 2;
        QTest::newRow("accented bytes") << QByteArray("|C:\\\xe9t\xe9.bmp|||||||||")
                                        << QStringLiteral("C:\\\xe9t\xe9.bmp/////////") << 1;
    }
    void readsTheThreeForms()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, names);
        QFETCH(int, count);
        const std::string_view value(list.constData(), static_cast<std::size_t>(list.size()));
        QCOMPARE(joined(read(value)), names);
        QCOMPARE(otherFilesCount(value), count);
    }

    void writesTheSlottedForm()
    {
        Names names;
        QCOMPARE(write(names), std::string());
        names[2] = "C:\\third.doc";
        const std::string only3 = write(names);
        QCOMPARE(only3, std::string("|||C:\\third.doc|||||||"));
        QCOMPARE(static_cast<int>(std::count(only3.begin(), only3.end(), '|')), 10);
        QCOMPARE(otherFilesCount(only3), 1);
        // Written and read back, every name keeps its place, the tenth included.
        names[0] = "C:\\a.bmp";
        names[9] = "D:\\films\\z.avi";
        QCOMPARE(read(write(names)), names);
        QVERIFY(read(write(names))[1].empty());
    }

    void displayRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown"); // the file shown, by name; empty for nothing
        QTest::addColumn<int>("type");
        const int picture = static_cast<int>(Display::Kind::Picture);
        const int standIn = static_cast<int>(Display::Kind::DefaultPicture);
        const int bitmap = static_cast<int>(PictureType::Bitmap);
        const int jpeg = static_cast<int>(PictureType::Jpeg);
        QTest::newRow("bitmap") << QStringLiteral("a.bmp") << true << picture << QStringLiteral("a.bmp") << bitmap;
        QTest::newRow("jpeg") << QStringLiteral("a.jpg") << true << picture << QStringLiteral("a.jpg") << jpeg;
        QTest::newRow("capitals") << QStringLiteral("Photo.JPG") << true << picture << QStringLiteral("Photo.JPG")
                                  << jpeg;
        QTest::newRow("mixed case") << QStringLiteral("scan.Bmp") << true << picture << QStringLiteral("scan.Bmp")
                                    << bitmap;
        QTest::newRow("long jpeg type") << QStringLiteral("b.Jpeg") << true << picture << QStringLiteral("b.Jpeg")
                                        << jpeg;
        QTest::newRow("png") << QStringLiteral("c.png") << true << picture << QStringLiteral("c.png")
                             << static_cast<int>(PictureType::Png);
        QTest::newRow("gif") << QStringLiteral("d.GIF") << true << picture << QStringLiteral("d.GIF")
                             << static_cast<int>(PictureType::Gif);
        QTest::newRow("missing bitmap") << QStringLiteral("gone.bmp") << false << standIn
                                        << QStringLiteral("Smiley.bmp") << bitmap;
        QTest::newRow("missing jpeg") << QStringLiteral("gone.JPEG") << false << standIn << QStringLiteral("Smiley.jpg")
                                      << jpeg;
        QTest::newRow("missing png") << QStringLiteral("gone.png") << false << standIn << QStringLiteral("Smiley.bmp")
                                     << bitmap;
        // Another type shows its own stand-in whether the file is there or not.
        QTest::newRow("document") << QStringLiteral("letter.doc") << true << standIn << QStringLiteral("Smiley2.bmp")
                                  << bitmap;
        QTest::newRow("no type") << QStringLiteral("README") << false << standIn << QStringLiteral("Smiley2.bmp")
                                 << bitmap;
    }
    void displayRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(int, kind);
        QFETCH(QString, shown);
        QFETCH(int, type);
        QTemporaryDir files;
        QTemporaryDir program;
        QVERIFY(files.isValid() && program.isValid());
        for (const char* standIn : {kMissingBitmap, kMissingJpeg, kNotAPicture})
            touch(program.filePath(QLatin1String(standIn)));
        const QString path = files.filePath(name);
        if (exists)
            touch(path);

        const Display display = picturelist::displayRule(path, program.path());
        QCOMPARE(static_cast<int>(display.kind), kind);
        const bool asItself = kind == static_cast<int>(Display::Kind::Picture);
        QCOMPARE(display.file, asItself ? path : program.filePath(shown));
        QCOMPARE(static_cast<int>(display.type), type);
        // Only the file itself keeps its name and goes without the beep.
        QCOMPARE(display.beep, !asItself);
        QCOMPARE(display.keepName, asItself);
    }

    void displayRuleWithoutStandInsOrName()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        QCOMPARE(picturelist::displayRule(QString(), empty.path()), Display{});
        // A stand-in that is not there leaves the image empty, but the beep still sounds.
        const Display missing = picturelist::displayRule(empty.filePath(QStringLiteral("gone.bmp")), empty.path());
        QCOMPARE(missing.kind, Display::Kind::DefaultPicture);
        QVERIFY(missing.file.isEmpty());
        QCOMPARE(missing.type, PictureType::None);
        QVERIFY(missing.beep);
        QVERIFY(!missing.keepName);
    }

    void openResultFollowsTheFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("parent");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("result"); // -1: opened
        QTest::newRow("opened") << true << false << true << true << true << -1;
        QTest::newRow("missing file") << false << false << false << true << false << 2;
        QTest::newRow("missing folder") << false << false << false << false << false << 3;
        QTest::newRow("not readable") << true << false << false << true << false << 5;
        QTest::newRow("no program for its type") << true << false << true << true << false << 31;
        QTest::newRow("a folder") << true << true << true << true << false << kOtherFailure;
    }
    void openResultFollowsTheFile()
    {
        QFETCH(bool, exists);
        QFETCH(bool, folder);
        QFETCH(bool, readable);
        QFETCH(bool, parent);
        QFETCH(bool, opened);
        QFETCH(int, result);
        const auto got = openResult(FileFacts{exists, folder, readable, parent}, opened);
        QCOMPARE(got.value_or(-1), result);
    }

    void openResultInspectsTheFileSystem()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("song.xyz"));
        touch(file);
        QCOMPARE(openResult(file, false), std::optional<int>(31));
        QVERIFY(!openResult(file, true));
        QCOMPARE(openResult(dir.filePath(QStringLiteral("gone.doc")), false), std::optional<int>(2));
        QCOMPARE(openResult(dir.filePath(QStringLiteral("gone/letter.doc")), false), std::optional<int>(3));
        QCOMPARE(openResult(QStringLiteral("Z:\\nowhere\\letter.doc"), false), std::optional<int>(3));
        QCOMPARE(openResult(dir.path(), false), std::optional<int>(kOtherFailure));
    }

    void openResultMessages_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<char>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("no association, French")
            << 31 << 'F'
            << QString::fromUtf8("Le fichier C:\\a.mp3  n'a pas d'association Windows.\n\nVEUILLEZ FAIRE\n \"Poste de "
                                 "travail->Outils->Option des dossiers->Types de fichiers->Nouveau\" !");
        QTest::newRow("no association, English")
            << 31 << 'E'
            << QStringLiteral("File C:\\a.mp3  has no Windows association indicated.\n\nPLEASE INDICATE ONE");
        QTest::newRow("missing file, French")
            << 2 << 'F'
            << QString::fromUtf8("Désolé, mais le programme ou l'objet suivant :\n\" C:\\a.mp3 \"\n ne peut pas être "
                                 "ouvert dans la configuration actuelle.");
        QTest::newRow("missing folder names no file") << 3 << 'E' << QStringLiteral("Unknown path");
        QTest::newRow("access denied") << 5 << 'F' << QString::fromUtf8("Accés refusé au fichier C:\\a.mp3");
        QTest::newRow("out of memory") << 0 << 'E' << QStringLiteral("Sorry, but the computer is short of memory");
        QTest::newRow("missing library") << 32 << 'F' << QString::fromUtf8("Désolé, DLL manquante");
        QTest::newRow("other failure") << kOtherFailure << 'F' << QStringLiteral("Switch error 789");
        QTest::newRow("unlisted failure") << 17 << 'E' << QStringLiteral("Switch error 789");
        QTest::newRow("success has none") << 33 << 'F' << QString();
    }
    void openResultMessages()
    {
        QFETCH(int, result);
        QFETCH(char, language);
        QFETCH(QString, text);
        QCOMPARE(openResultText(result, QStringLiteral("C:\\a.mp3"), language), text);
    }
};

QTEST_GUILESS_MAIN(TestPictureList)
#include "tst_picturelist.moc"
