#include "platform/exifpreview.h"
#include "testdirs.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace fichora;
using exifpreview::Preview;

namespace {

/// Stands for the camera's small JPEG: only its first two bytes matter to the reader.
const QByteArray kPreview = QByteArray::fromHex("ffd8") + QByteArray("tiny preview data") + QByteArray::fromHex("ffd9");

/// A camera-like JPEG header built byte by byte: start of image, the segments in `before`, the Exif
/// segment (TIFF header, a first directory with a maker name and the orientation, a second one naming
/// the preview, then the preview), a quantisation table, the start of scan and some picture data.
/// The positions of the fields a test may spoil are kept, counted from the start of the file.
struct CameraFile
{
    bool bigEndian = false;
    std::optional<int> orientation;
    bool secondDirectory = true;
    QByteArray before;
    QByteArray preview = kPreview;

    // Filled by bytes():
    qsizetype exifAt = 0;          ///< the segment's FF E1
    qsizetype tiffAt = 0;          ///< the TIFF header
    qsizetype nextDirectoryAt = 0; ///< the first directory's link to the second
    qsizetype secondEntriesAt = 0; ///< the second directory's first entry
    qsizetype previewOffsetAt = 0; ///< the entry 0x0201
    qsizetype previewLengthAt = 0; ///< the entry 0x0202
    qsizetype previewAt = 0;       ///< the preview itself
    qsizetype segmentEnd = 0;      ///< the first byte after the Exif segment

    QByteArray u16(unsigned value) const
    {
        QByteArray b(2, '\0');
        b[bigEndian ? 0 : 1] = static_cast<char>(value >> 8);
        b[bigEndian ? 1 : 0] = static_cast<char>(value);
        return b;
    }
    QByteArray u32(quint32 value) const
    {
        const QByteArray high = u16(value >> 16);
        const QByteArray low = u16(value & 0xffff);
        return bigEndian ? high + low : low + high;
    }
    QByteArray entry(unsigned tag, unsigned type, quint32 count, const QByteArray& value) const
    {
        return u16(tag) + u16(type) + u32(count) + value.leftJustified(4, '\0');
    }

    QByteArray bytes()
    {
        QByteArray tiff = QByteArray(bigEndian ? "MM" : "II") + u16(42) + u32(8);
        QList<QByteArray> first{entry(0x010f, 2, 4, QByteArray("Cam", 4))};
        if (orientation)
            first.append(entry(0x0112, 3, 1, u16(static_cast<unsigned>(*orientation))));
        tiff += u16(static_cast<unsigned>(first.size())) + first.join();
        const qsizetype next = tiff.size();
        const auto secondAt = static_cast<quint32>(tiff.size() + 4);
        tiff += u32(secondDirectory ? secondAt : 0);
        const auto imageAt = static_cast<quint32>(secondAt + 2 + 3 * 12 + 4);
        if (secondDirectory) {
            tiff += u16(3) + entry(0x0103, 3, 1, u16(6)) + entry(0x0201, 4, 1, u32(imageAt)) +
                    entry(0x0202, 4, 1, u32(static_cast<quint32>(preview.size()))) + u32(0);
            tiff += preview;
        }
        const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;

        QByteArray file = QByteArray::fromHex("ffd8") + before;
        exifAt = file.size();
        tiffAt = exifAt + 10;
        nextDirectoryAt = tiffAt + next;
        secondEntriesAt = tiffAt + secondAt + 2;
        previewOffsetAt = secondEntriesAt + 12;
        previewLengthAt = secondEntriesAt + 24;
        previewAt = tiffAt + imageAt;
        file += QByteArray::fromHex("ffe1") + segmentLength(payload.size()) + payload;
        segmentEnd = file.size();
        file += QByteArray::fromHex("ffdb0043") + QByteArray(65, '\x10');
        file +=
            QByteArray::fromHex("ffda000c03010002110311003f00") + QByteArray(200, '\x5a') + QByteArray::fromHex("ffd9");
        return file;
    }
    static QByteArray segmentLength(qsizetype payload)
    {
        const qsizetype length = payload + 2;
        QByteArray b;
        b.append(static_cast<char>(length >> 8)).append(static_cast<char>(length & 0xff));
        return b;
    }
    /// Overwrites the bytes at `at`, in the file's byte order for numbers.
    void put16(QByteArray& file, qsizetype at, unsigned value) const { file.replace(at, 2, u16(value)); }
    void put32(QByteArray& file, qsizetype at, quint32 value) const { file.replace(at, 4, u32(value)); }
};

const QByteArray kJfif = QByteArray::fromHex("ffe000104a46494600010100000100010000");
/// A comment that puts the Exif segment just before 64 KB into the file, so that it ends beyond.
const QByteArray kLargeComment = QByteArray::fromHex("fffefff0") + QByteArray(0xfff0 - 2, 'c');
const QByteArray kXmp = QByteArray::fromHex("ffe10023") + QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 33);

} // namespace

class TestExifPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsThePreviewAndTheOrientation_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<int>("orientation"); // -1: no orientation entry
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("expected");
        QTest::newRow("little-endian, upright") << false << 1 << QByteArray() << 1;
        QTest::newRow("big-endian, upright") << true << 1 << QByteArray() << 1;
        QTest::newRow("little-endian, turned") << false << 6 << QByteArray() << 6;
        QTest::newRow("big-endian, turned") << true << 8 << QByteArray() << 8;
        QTest::newRow("big-endian, transposed") << true << 5 << QByteArray() << 5;
        QTest::newRow("no orientation") << false << -1 << QByteArray() << 1;
        QTest::newRow("orientation out of range") << true << 9 << QByteArray() << 1;
        QTest::newRow("orientation zero") << false << 0 << QByteArray() << 1;
        QTest::newRow("orientation beyond a byte") << false << 0x106 << QByteArray() << 1;
        QTest::newRow("after a JFIF segment") << true << 3 << kJfif << 3;
        QTest::newRow("after an XMP segment") << false << 2 << kXmp << 2;
        QTest::newRow("fill bytes before the marker") << false << 7 << QByteArray::fromHex("ffff") << 7;
        QTest::newRow("Exif segment reaching past 64 KB") << false << 4 << kLargeComment << 4;
    }
    void findsThePreviewAndTheOrientation()
    {
        QFETCH(bool, bigEndian);
        QFETCH(int, orientation);
        QFETCH(QByteArray, before);
        QFETCH(int, expected);
        CameraFile camera;
        camera.bigEndian = bigEndian;
        if (orientation >= 0)
            camera.orientation = orientation;
        camera.before = before;
        const QByteArray file = camera.bytes();

        const std::optional<Preview> found = exifpreview::find(file);
        QVERIFY(found);
        QCOMPARE(found->jpeg, kPreview);
        QCOMPARE(found->orientation, expected);
        // The header alone is enough: nothing past the Exif segment is needed.
        QCOMPARE(exifpreview::find(QByteArrayView(file).first(camera.segmentEnd)), found);
    }

    void filesWithoutAPreview_data()
    {
        QTest::addColumn<QByteArray>("file");
        CameraFile plain;
        plain.secondDirectory = false;
        plain.orientation = 6;
        QTest::newRow("Exif without a second directory") << plain.bytes();
        QTest::newRow("no Exif at all") << QByteArray::fromHex("ffd8") + kJfif + kXmp +
                                               QByteArray::fromHex("ffda000c03010002110311003f00ffd9");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray::fromHex("ff");
        QTest::newRow("a PNG file") << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
        QTest::newRow("start of image only") << QByteArray::fromHex("ffd8");
    }
    void filesWithoutAPreview()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!exifpreview::find(file));
    }

    void malformedHeadersGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        for (const bool bigEndian : {false, true}) {
            CameraFile c;
            c.bigEndian = bigEndian;
            c.orientation = 6;
            const QByteArray good = c.bytes();
            const auto row = [bigEndian](const char* name) {
                return &QTest::addRow("%s, %s", bigEndian ? "MM" : "II", name);
            };
            const auto spoilt = [&good](auto&& change) {
                QByteArray file = good;
                change(file);
                return file;
            };
            const quint32 tiffSize = static_cast<quint32>(c.segmentEnd - c.tiffAt);
            const quint32 previewOffset = static_cast<quint32>(c.previewAt - c.tiffAt);
            const auto previewSize = static_cast<quint32>(kPreview.size());

            // The markers.
            *row("cut inside the segment") << good.first(c.previewAt + 4);
            *row("segment longer than the file") << good.first(c.segmentEnd - 1);
            *row("segment length below two") << spoilt([&](QByteArray& f) {
                f[c.exifAt + 2] = 0;
                f[c.exifAt + 3] = 1;
            });
            *row("segment length cuts the TIFF header") << spoilt([&](QByteArray& f) {
                f[c.exifAt + 2] = 0;
                f[c.exifAt + 3] = 12;
            });
            *row("no marker where one is due") << spoilt([&](QByteArray& f) { f[c.exifAt] = 'x'; });
            *row("stuffed zero instead of a marker") << spoilt([&](QByteArray& f) { f[c.exifAt + 1] = 0; });
            *row("picture data before the Exif segment") << spoilt(
                [&](QByteArray& f) { f.insert(c.exifAt, QByteArray::fromHex("ffda000c03010002110311003f00")); });
            *row("end of image before the Exif segment")
                << spoilt([&](QByteArray& f) { f.insert(c.exifAt, QByteArray::fromHex("ffd9")); });
            *row("Exif segment starting after 64 KB") << spoilt([&](QByteArray& f) {
                f.insert(c.exifAt, QByteArray::fromHex("fffeffff") + QByteArray(0xfffd, 'c') +
                                       QByteArray::fromHex("fffe0004cccc"));
            });
            // The TIFF header.
            *row("mixed byte order") << spoilt([&](QByteArray& f) { f[c.tiffAt + 1] = bigEndian ? 'I' : 'M'; });
            *row("wrong magic number") << spoilt([&](QByteArray& f) { c.put16(f, c.tiffAt + 2, 43); });
            *row("first directory inside the header") << spoilt([&](QByteArray& f) { c.put32(f, c.tiffAt + 4, 4); });
            *row("first directory past the segment")
                << spoilt([&](QByteArray& f) { c.put32(f, c.tiffAt + 4, tiffSize - 1); });
            *row("first directory far away") << spoilt([&](QByteArray& f) { c.put32(f, c.tiffAt + 4, 0xfffffffe); });
            *row("too many entries") << spoilt([&](QByteArray& f) { c.put16(f, c.tiffAt + 8, 0xffff); });
            // The second directory.
            *row("second directory past the segment")
                << spoilt([&](QByteArray& f) { c.put32(f, c.nextDirectoryAt, tiffSize - 10); });
            *row("second directory far away")
                << spoilt([&](QByteArray& f) { c.put32(f, c.nextDirectoryAt, 0xffffffff); });
            *row("second directory is the first") << spoilt([&](QByteArray& f) { c.put32(f, c.nextDirectoryAt, 8); });
            *row("second directory with too many entries")
                << spoilt([&](QByteArray& f) { c.put16(f, c.secondEntriesAt - 2, 200); });
            *row("no preview length") << spoilt([&](QByteArray& f) { c.put16(f, c.previewLengthAt, 0x0203); });
            *row("no preview offset") << spoilt([&](QByteArray& f) { c.put16(f, c.previewOffsetAt, 0x0200); });
            *row("offset of a text type") << spoilt([&](QByteArray& f) { c.put16(f, c.previewOffsetAt + 2, 2); });
            *row("two offsets") << spoilt([&](QByteArray& f) { c.put32(f, c.previewOffsetAt + 4, 2); });
            // The preview's place.
            *row("preview past the segment")
                << spoilt([&](QByteArray& f) { c.put32(f, c.previewOffsetAt + 8, previewOffset + 1); });
            *row("preview longer than the segment")
                << spoilt([&](QByteArray& f) { c.put32(f, c.previewLengthAt + 8, previewSize + 1); });
            *row("preview end wraps around")
                << spoilt([&](QByteArray& f) { c.put32(f, c.previewLengthAt + 8, 0xffffffff - previewOffset + 2); });
            *row("preview offset far away")
                << spoilt([&](QByteArray& f) { c.put32(f, c.previewOffsetAt + 8, 0xfffffff0); });
            *row("preview inside the header") << spoilt([&](QByteArray& f) { c.put32(f, c.previewOffsetAt + 8, 0); });
            *row("empty preview") << spoilt([&](QByteArray& f) { c.put32(f, c.previewLengthAt + 8, 0); });
            *row("preview that is no JPEG") << spoilt([&](QByteArray& f) { f[c.previewAt + 1] = '\xd9'; });
        }
    }
    void malformedHeadersGiveNothing()
    {
        QFETCH(QByteArray, file);
        // A copy of exactly the file's size, so that a read past its end is caught by the sanitizer.
        const std::unique_ptr<char[]> exact(new char[static_cast<std::size_t>(file.size())]);
        std::copy(file.cbegin(), file.cend(), exact.get());
        QVERIFY(!exifpreview::find(QByteArrayView(exact.get(), file.size())));
    }

    void everyCutAndEverySpoiltByteIsSurvived()
    {
        CameraFile c;
        c.orientation = 3;
        const QByteArray good = c.bytes();
        // Cut anywhere before the end of the Exif segment, the file has no preview; after, it has.
        for (qsizetype length = 0; length <= good.size(); ++length) {
            const std::unique_ptr<char[]> exact(new char[static_cast<std::size_t>(length) + 1]);
            std::copy(good.cbegin(), good.cbegin() + length, exact.get());
            QCOMPARE(exifpreview::find(QByteArrayView(exact.get(), length)).has_value(), length >= c.segmentEnd);
        }
        // Whatever a spoilt byte makes of the header, a preview found is a piece of the file.
        for (qsizetype at = 0; at < c.previewAt + 2; ++at) {
            for (const int value : {0x00, 0x01, 0x7f, 0x80, 0xfe, 0xff}) {
                QByteArray file = good;
                file[at] = static_cast<char>(value);
                if (const auto found = exifpreview::find(file)) {
                    QVERIFY(found->jpeg.startsWith(QByteArray::fromHex("ffd8")));
                    QVERIFY(file.contains(found->jpeg));
                    QVERIFY(found->orientation >= 1 && found->orientation <= 8);
                }
            }
        }
    }

    void readsOnlyTheBeginningOfAFile()
    {
        QTemporaryDir dir;
        CameraFile c;
        c.bigEndian = true;
        c.orientation = 8;
        c.before = kLargeComment;
        // A photograph of some megabytes: its picture data is never read.
        const QByteArray photo = c.bytes() + QByteArray(4 * 1024 * 1024, '\x33');
        const QString path = dir.filePath(QStringLiteral("photo.JPG"));
        test::writeAll(path, photo);
        QCOMPARE(exifpreview::read(path), (Preview{kPreview, 8}));

        QVERIFY(!exifpreview::read(dir.filePath(QStringLiteral("missing.jpg"))));
        test::writeAll(dir.filePath(QStringLiteral("short.jpg")), QByteArray::fromHex("ff"));
        QVERIFY(!exifpreview::read(dir.filePath(QStringLiteral("short.jpg"))));
        test::writeAll(dir.filePath(QStringLiteral("picture.bmp")), QByteArray("BM") + photo);
        QVERIFY(!exifpreview::read(dir.filePath(QStringLiteral("picture.bmp"))));
    }
};

QTEST_GUILESS_MAIN(TestExifPreview)
#include "tst_exifpreview.moc"
