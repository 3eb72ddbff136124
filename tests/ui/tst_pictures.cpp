#include "browse/picturelist.h"
#include "mainwindowfixture.h"
#include "ui/navigator.h"
#include "ui/picturebox.h"
#include "ui/tform1.h"
#include "ui/tform4.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <unistd.h>

using namespace fichora;
using fichora::test::ScriptedServices;
using Beep = Services::Beep;

namespace {

/// The main window with the shipped address book open from a folder of its own, the stand-in pictures
/// in its program directory, the full-size window attached, and a few picture files beside it.
struct Pictures : test::MainWindowFixture
{
    explicit Pictures(char readOnly = ' ')
        : MainWindowFixture({.readOnly = readOnly, .open = false, .longTextEditor = true, .fullSizePicture = true})
    {
        for (const char* standIn : {"Smiley.bmp", "Smiley.jpg", "Smiley2.bmp"})
            QFile::copy(test::resourcePath(QLatin1String(standIn)),
                        userDirectory() + QLatin1Char('/') + QLatin1String(standIn));
        picture(QStringLiteral("a.bmp"), QSize(40, 30), "BMP");
        picture(QStringLiteral("b.jpg"), QSize(64, 48), "JPG");
        picture(QStringLiteral("Photo.PNG"), QSize(30, 90), "PNG");
        picture(QStringLiteral("scan.Bmp"), QSize(20, 20), "BMP");
        picture(QStringLiteral("holiday.jpeg"), QSize(50, 25), "JPG");
        test::writeAll(path(QStringLiteral("letter.doc")), "not a picture");
        openSample();
    }
    void picture(const QString& name, QSize size, const char* format)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(path(name), format));
    }
    /// A list of the slotted form naming these files of the folder (an empty text leaves a slot empty).
    QString slots(const QStringList& names) const
    {
        QString list;
        for (int k = 0; k < 10; ++k)
            list += QLatin1Char('|') + (k < names.size() && !names[k].isEmpty() ? path(names[k]) : QString());
        return list;
    }
    /// The list of the current record, as the other-files window would store it.
    void store(const QString& list) { QVERIFY(form->storePictureList(list)); }
    PictureBox* thumbnail(int which) const { return form->thumbnail(which); }
    QPushButton* counter() const { return form->findChild<QPushButton*>(QStringLiteral("OpenOtherPictures")); }
};

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thumbnailsFollowTheDisplayRule_data()
    {
        // The two names of the list; the files each thumbnail shows (from the folder, "~" from the program
        // directory); the number of exclamation beeps; the counter.
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QString>("shown1");
        QTest::addColumn<QString>("shown2");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<int>("count");
        QTest::newRow("one picture without a bar") << "b.jpg"
                                                   << "" << true << "b.jpg"
                                                   << "" << 0 << 1;
        QTest::newRow("bitmap and jpeg") << "a.bmp"
                                         << "b.jpg" << false << "a.bmp"
                                         << "b.jpg" << 0 << 2;
        QTest::newRow("missing bitmap") << "gone.bmp"
                                        << "" << false << "~Smiley.bmp"
                                        << "" << 1 << 1;
        QTest::newRow("missing jpeg") << "gone.jpg"
                                      << "b.jpg" << false << "~Smiley.jpg"
                                      << "b.jpg" << 1 << 2;
        QTest::newRow("a document") << "letter.doc"
                                    << "" << false << "~Smiley2.bmp"
                                    << "" << 1 << 1;
        QTest::newRow("other types and cases") << "Photo.PNG"
                                               << "scan.Bmp" << false << "Photo.PNG"
                                               << "scan.Bmp" << 0 << 2;
        QTest::newRow("jpeg spelt out") << ""
                                        << "holiday.jpeg" << false << ""
                                        << "holiday.jpeg" << 0 << 1;
        QTest::newRow("empty list") << ""
                                    << "" << true << ""
                                    << "" << 0 << 0;
    }
    void thumbnailsFollowTheDisplayRule()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, single);
        QFETCH(QString, shown1);
        QFETCH(QString, shown2);
        QFETCH(int, beeps);
        QFETCH(int, count);
        Pictures p;
        const QString list = single ? (first.isEmpty() ? QString() : p.path(first)) : p.slots({first, second});
        p.store(list);

        const auto where = [&p](const QString& shown) {
            if (shown.isEmpty())
                return QString();
            return shown.startsWith(QLatin1Char('~')) ? QDir(p.userDirectory()).filePath(shown.mid(1)) : p.path(shown);
        };
        QCOMPARE(p.thumbnail(1)->file(), where(shown1));
        QCOMPARE(p.thumbnail(2)->file(), where(shown2));
        QCOMPARE(p.thumbnail(1)->hasPicture(), !shown1.isEmpty());
        QCOMPARE(p.thumbnail(2)->hasPicture(), !shown2.isEmpty());
        QCOMPARE(p.services.beeps(), QList<Beep>(beeps, Beep::Exclamation));
        // A stand-in forgets the name, so the full-size window would open on nothing.
        QCOMPARE(p.form->firstPictureName(), shown1.startsWith(QLatin1Char('~')) ? QString() : where(shown1));
        QCOMPARE(p.form->secondPictureName(), where(shown2));
        // The thumbnails fit their 169-pixel boxes and keep the picture's proportions.
        if (p.thumbnail(1)->hasPicture()) {
            const QSize size = p.thumbnail(1)->pixmap().size();
            QVERIFY(size.width() <= 169 && size.height() <= 169);
            QVERIFY(size.width() >= 160 || size.height() >= 160);
        }
        p.form->refreshOtherFilesCounter();
        QCOMPARE(p.counter()->text(), QString::number(count));
        QCOMPARE(p.form->findChild<QLabel*>(QStringLiteral("Label31"))->text(), QString::number(count));
    }

    void storedListReachesTheRecordAndStaysWithIt()
    {
        Pictures p;
        const QString list = p.slots({QStringLiteral("a.bmp"), QStringLiteral("b.jpg")});
        p.store(list);
        QVERIFY(p.session.modified);
        QVERIFY(p.form->toolAction(11)->isEnabled());
        QVERIFY(p.form->postPendingEdits());
        QCOMPARE(p.stored(23), list);
        // Moving away and back shows the record's pictures again.
        p.press(Navigator::Button::Next);
        p.press(Navigator::Button::Prior);
        QCOMPARE(p.thumbnail(1)->file(), p.path(QStringLiteral("a.bmp")));
        QCOMPARE(p.thumbnail(2)->file(), p.path(QStringLiteral("b.jpg")));
    }

    void aProtectedDatabaseKeepsItsList()
    {
        Pictures p('P');
        const QString before = p.form->pictureList();
        QVERIFY(!p.form->storePictureList(p.slots({QStringLiteral("a.bmp")})));
        QCOMPARE(p.form->pictureList(), before);
        QVERIFY(!p.session.modified);
        QCOMPARE(p.services.shown().size(), 1);
        QCOMPARE(p.services.shown().first().kind, ScriptedServices::Kind::Information);
    }

    void anEmptyDatabaseGetsARecordForTheList()
    {
        Pictures p;
        RecordTable& records = p.session.records;
        while (records.recordCount() > 0)
            QVERIFY(records.deleteRecord().has_value());
        p.form->recordsChanged();
        const QString list = p.slots({QString(), QString(), QStringLiteral("letter.doc")});
        p.store(list);
        QVERIFY(p.form->postPendingEdits());
        QCOMPARE(records.recordCount(), 1);
        QCOMPARE(p.stored(23), list);
        QVERIFY(records.text(records.fieldIndex("F01")).empty());
    }

    void fullSizeWindowFitsThePicture()
    {
        Pictures p;
        p.store(p.slots({QStringLiteral("b.jpg"), QStringLiteral("gone.bmp")}));
        TForm4& window = *p.fullSize;

        QTest::mouseDClick(p.thumbnail(1), Qt::LeftButton);
        QVERIFY(window.isVisible());
        QCOMPARE(window.pictureName(), p.path(QStringLiteral("b.jpg")));
        QCOMPARE(window.picture()->pixmap().size(), QSize(64, 48));
        QCOMPARE(window.size(), QSize(64, 48));
        QCOMPARE(window.windowTitle(), QStringLiteral("Image taille réèlle"));

        // The second name was a missing file: the window opens on nothing.
        QTest::mouseDClick(p.thumbnail(2), Qt::LeftButton);
        QVERIFY(window.isVisible());
        QVERIFY(window.picture()->pixmap().isNull());
        QCOMPARE(window.size(), QSize(TForm4::kEmptyWidth, TForm4::kEmptyHeight));

        // A double-click on the picture, or the main window's activation, hides it.
        QTest::mouseDClick(window.picture(), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QTest::mouseDClick(p.thumbnail(1), Qt::LeftButton);
        QVERIFY(window.isVisible());
        p.form->FormActivate();
        QVERIFY(!window.isVisible());

        // A name that is not a picture leaves the window as it was.
        window.setPictureName(p.path(QStringLiteral("b.jpg")));
        window.show();
        window.hide();
        window.setPictureName(p.path(QStringLiteral("letter.doc")));
        window.show();
        QCOMPARE(window.picture()->pixmap().size(), QSize(64, 48));
    }

    void counterFollowsTheGridNotTheNavigator()
    {
        Pictures p;
        // The opening counts the first record's files.
        RecordTable& records = p.session.records;
        QCOMPARE(p.counter()->text(),
                 QString::number(picturelist::otherFilesCount(records.text(records.fieldIndex("F23")))));
        p.store(p.slots({QStringLiteral("a.bmp"), QStringLiteral("b.jpg"), QStringLiteral("letter.doc")}));
        QVERIFY(p.form->postPendingEdits());
        p.form->refreshOtherFilesCounter();
        QCOMPARE(p.counter()->text(), QStringLiteral("3"));
        const int withFiles = p.session.records.recordNumber();

        // The navigator moves on without refreshing it.
        p.press(Navigator::Button::Next);
        QCOMPARE(p.session.records.recordNumber(), withFiles + 1);
        QCOMPARE(p.counter()->text(), QStringLiteral("3"));
        p.store(QString());
        QVERIFY(p.form->postPendingEdits());

        // A click in the grid refreshes it for the record clicked.
        QTableView* grid = p.form->grid();
        const auto clickRow = [grid](int row) {
            const QRect cell = grid->visualRect(grid->model()->index(row, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        };
        clickRow(withFiles);
        QCOMPARE(p.counter()->text(), QStringLiteral("0"));
        clickRow(withFiles - 1);
        QCOMPARE(p.counter()->text(), QStringLiteral("3"));
    }

    void openingAFileMapsItsFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "gone.pdf"
                                      << "ne peut pas être ouvert dans la configuration actuelle";
        QTest::newRow("missing folder") << "nowhere/gone.pdf"
                                        << "Chemin introuvable";
        QTest::newRow("no program for its type") << "letter.doc"
                                                 << "n'a pas d'association Windows";
        QTest::newRow("a folder") << ""
                                  << "Switch error 789";
    }
    void openingAFileMapsItsFailure()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Pictures p;
        p.services.setOpensSucceed(false);
        const QString path = name.isEmpty() ? p.dir.path() : p.path(name);
        p.form->openWithAssociatedProgram(path);
        QCOMPARE(p.services.opened(), QStringList{path});
        QCOMPARE(p.services.shown().size(), 1);
        QCOMPARE(p.services.shown().first().kind, ScriptedServices::Kind::Error);
        QVERIFY2(p.services.shown().first().text.contains(message), qPrintable(p.services.shown().first().text));
        if (message.contains(QLatin1String("association")) || message.contains(QLatin1String("configuration")))
            QVERIFY(p.services.shown().first().text.contains(path));
    }

    void openingAFileThatOpensOrHasNoName()
    {
        Pictures p;
        p.form->openWithAssociatedProgram(p.path(QStringLiteral("letter.doc")));
        QCOMPARE(p.services.opened(), QStringList{p.path(QStringLiteral("letter.doc"))});
        QVERIFY(p.services.shown().isEmpty());
        // Opening makes the file's folder the current one.
        QCOMPARE(QDir::current().canonicalPath(), QDir(p.dir.path()).canonicalPath());

        p.services.clear();
        p.form->openWithAssociatedProgram(QString());
        QVERIFY(p.services.opened().isEmpty());
        QCOMPARE(p.services.beeps(), (QList<Beep>{Beep::Default, Beep::Default}));
    }

    void anUnreadableFileIsRefused()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every file");
        Pictures p;
        const QString path = p.path(QStringLiteral("letter.doc"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        p.services.setOpensSucceed(false);
        p.form->openWithAssociatedProgram(path);
        QCOMPARE(p.services.texts(), QStringList{QStringLiteral("Accés refusé au fichier ") + path});
    }

    void aCameraPreviewServesSmallThumbnailsOnly()
    {
        Pictures p;
        // Quarters of different colours (top left, top right, bottom left, bottom right), so that a turn or
        // a mirror shows; the photograph and its preview differ in all four.
        using Colours = std::array<QColor, 4>;
        const Colours inPhoto{QColor(Qt::blue), QColor(Qt::yellow), QColor(Qt::white), QColor(Qt::black)};
        const Colours inPreview{QColor(Qt::red), QColor(Qt::green), QColor(Qt::magenta), QColor(Qt::cyan)};
        const auto quarters = [](QSize size, const Colours& colours) {
            QImage image(size, QImage::Format_RGB32);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    image.setPixel(x, y,
                                   colours[(y < size.height() / 2 ? 0 : 2) + (x < size.width() / 2 ? 0 : 1)].rgb());
            return image;
        };
        const auto jpeg = [](const QImage& image) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPG", 95);
            return bytes;
        };
        // The photograph as a camera writes it: an Exif segment right after the start of image, its first
        // directory with the orientation, its second naming the preview.
        const auto camera = [&](const QString& name, QSize previewSize, quint16 orientation) {
            const QByteArray previewBytes = jpeg(quarters(previewSize, inPreview));
            QByteArray tiff("II*\0\x08\0\0\0", 8);
            const auto u16 = [&tiff](quint16 v) {
                tiff.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8));
            };
            const auto u32 = [&u16](quint32 v) {
                u16(static_cast<quint16>(v & 0xffff));
                u16(static_cast<quint16>(v >> 16));
            };
            const auto entry = [&](quint16 tag, quint16 type, quint32 value) {
                u16(tag);
                u16(type);
                u32(1);
                u32(value); // a SHORT fills the first two bytes of the value
            };
            u16(1);
            entry(0x0112, 3, orientation);
            u32(8 + 2 + 12 + 4);
            u16(2);
            entry(0x0201, 4, 26 + 2 + 24 + 4);
            entry(0x0202, 4, static_cast<quint32>(previewBytes.size()));
            u32(0);
            const QByteArray segment = QByteArray("Exif\0\0", 6) + tiff + previewBytes;
            const QByteArray whole = jpeg(quarters(QSize(1600, 1200), inPhoto));
            const qsizetype length = segment.size() + 2;
            test::writeAll(p.path(name), whole.first(2) + QByteArray::fromHex("ffe1") + static_cast<char>(length >> 8) +
                                             static_cast<char>(length & 0xff) + segment + whole.sliced(2));
            return p.path(name);
        };
        // Which of `colours` each quarter of `image` shows, -1 for none.
        const auto shown = [](const QImage& image, const Colours& colours) {
            QList<int> which;
            for (int q = 0; q < 4; ++q) {
                const QColor c =
                    image.pixelColor((q % 2 ? 3 : 1) * image.width() / 4, (q < 2 ? 1 : 3) * image.height() / 4);
                const auto near = [&c](const QColor& e) {
                    return std::abs(c.red() - e.red()) < 60 && std::abs(c.green() - e.green()) < 60 &&
                           std::abs(c.blue() - e.blue()) < 60;
                };
                const auto found = std::find_if(colours.begin(), colours.end(), near);
                which.append(found == colours.end() ? -1 : static_cast<int>(found - colours.begin()));
            }
            return which;
        };
        const QList<int> kUpright{0, 1, 2, 3};
        const QString upright = camera(QStringLiteral("camera.jpg"), QSize(160, 120), 1);
        camera(QStringLiteral("wide.jpg"), QSize(160, 90), 1);

        // The main window's thumbnails: the preview of the photograph's proportions stands for it.
        p.store(p.slots({QStringLiteral("camera.jpg"), QStringLiteral("wide.jpg")}));
        const QImage first = p.thumbnail(1)->pixmap().toImage();
        const QImage second = p.thumbnail(2)->pixmap().toImage();
        const QSize fitted = QSize(1600, 1200).scaled(p.thumbnail(1)->contentsRect().size(), Qt::KeepAspectRatio);
        QCOMPARE(first.size(), fitted);
        QCOMPARE(shown(first, inPreview), kUpright);
        QCOMPARE(second.size(), fitted);
        QCOMPARE(shown(second, inPhoto), kUpright);

        // Too small for an enlargement, and never the picture at its real size.
        const QImage enlarged = loadFittedPicture(upright, picturelist::PictureType::Jpeg, QSize(300, 300));
        QCOMPARE(enlarged.size(), QSize(300, 225));
        QCOMPARE(shown(enlarged, inPhoto), kUpright);
        const QImage whole = loadPicture(upright, picturelist::PictureType::Jpeg);
        QCOMPARE(whole.size(), QSize(1600, 1200));
        QCOMPARE(shown(whole, inPhoto), kUpright);

        // Turned and mirrored, the preview shows as the photograph does.
        for (quint16 orientation = 1; orientation <= 8; ++orientation) {
            const QString file = camera(QStringLiteral("turned%1.jpg").arg(orientation), QSize(160, 120), orientation);
            const QImage thumbnail = loadFittedPicture(file, picturelist::PictureType::Jpeg, QSize(169, 169));
            const QImage photo = loadFittedPicture(file, picturelist::PictureType::Jpeg, QSize(400, 400));
            QCOMPARE(thumbnail.size(), photo.size().scaled(169, 169, Qt::KeepAspectRatio));
            QCOMPARE(photo.size(), orientation >= 5 ? QSize(300, 400) : QSize(400, 300));
            QCOMPARE(shown(thumbnail, inPreview), shown(photo, inPhoto));
            QVERIFY(std::is_permutation(kUpright.begin(), kUpright.end(), shown(photo, inPhoto).begin()));
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
