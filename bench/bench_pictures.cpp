// Times the showing of a record's two thumbnails when its pictures are 6000 x 4000 JPEG photographs,
// as the main window shows them (into two 169 x 169 image controls), against the plain way measured in
// the same run (the whole picture decoded, then scaled down). Two kinds of files: as a camera writes
// them, with a small preview in the Exif segment (160 pixels on the longer side, in the photograph's
// proportions), and without one, where the picture is decoded at thumbnail size. The target is under
// 50 ms for the two thumbnails of the camera's files.
// Usage: bench_pictures [width] [height] [rounds]   (runs on the offscreen platform unless told otherwise)
#include "platform/exifpreview.h"
#include "ui/picturebox.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace fichora;

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// A photograph-like picture: gradients, shapes and grain, so the file has the size of a real photo.
QImage photo(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(40, 90, 160));
    sky.setColorAt(1, QColor(230, 180, 120));
    QPainter painter(&image);
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(seed);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromRgb(random.generate() | 0xff000000u));
        painter.setPen(Qt::NoPen);
        const int size = 50 + random.bounded(width / 8);
        painter.drawEllipse(random.bounded(width), random.bounded(height), size, size);
    }
    painter.end();
    for (int y = 0; y < height; y += 4) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; x += 8)
            line[x] ^= random.bounded(0x101010u);
    }
    return image;
}

QByteArray jpegBytes(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "JPG", quality) ? bytes : QByteArray();
}

/// `jpeg` as a camera writes it: right after the start of image, an Exif segment (big-endian TIFF
/// header, a first directory with the orientation, a second one naming `preview`, then the preview).
QByteArray withCameraPreview(const QByteArray& jpeg, const QByteArray& preview)
{
    const auto u16 = [](QByteArray& to, unsigned value) {
        to.append(static_cast<char>(value >> 8)).append(static_cast<char>(value & 0xff));
    };
    const auto u32 = [&u16](QByteArray& to, quint32 value) {
        u16(to, value >> 16);
        u16(to, value & 0xffff);
    };
    const auto entry = [&](QByteArray& to, unsigned tag, unsigned type, quint32 value) {
        u16(to, tag);
        u16(to, type);
        u32(to, 1);
        if (type == 3) {
            u16(to, value);
            u16(to, 0);
        } else {
            u32(to, value);
        }
    };
    constexpr quint32 kFirst = 8;
    constexpr quint32 kSecond = kFirst + 2 + 12 + 4;
    constexpr quint32 kPreviewAt = kSecond + 2 + 2 * 12 + 4;
    QByteArray segment("Exif\0\0MM", 8);
    u16(segment, 42);
    u32(segment, kFirst);
    u16(segment, 1);
    entry(segment, 0x0112, 3, 1);
    u32(segment, kSecond);
    u16(segment, 2);
    entry(segment, 0x0201, 4, kPreviewAt);
    entry(segment, 0x0202, 4, static_cast<quint32>(preview.size()));
    u32(segment, 0);
    segment += preview;
    if (jpeg.size() < 2 || segment.size() + 2 > 0xffff)
        return {};
    QByteArray file = jpeg.first(2);
    file.append('\xff').append('\xe1');
    u16(file, static_cast<unsigned>(segment.size() + 2));
    return file + segment + jpeg.sliced(2);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// Writes the photograph twice: plain at `plainPath`, with the camera's preview at `cameraPath`.
bool writePhoto(const QString& plainPath, const QString& cameraPath, int width, int height, quint32 seed)
{
    const QImage image = photo(width, height, seed);
    const QByteArray plain = jpegBytes(image, 90);
    const QByteArray preview = jpegBytes(image.scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation), 85);
    return writeFile(plainPath, plain) && writeFile(cameraPath, withCameraPreview(plain, preview)) &&
           exifpreview::read(cameraPath).has_value();
}

/// A record's two thumbnails in their 169 x 169 image controls.
class Record
{
public:
    Record(const QString& first, const QString& second)
        : m_files{
              {{&m_image1, first, picturelist::PictureType::Jpeg}, {&m_image3, second, picturelist::PictureType::Jpeg}}}
    {
        m_image1.resize(169, 169);
        m_image3.resize(169, 169);
    }
    /// Shows the record from nothing, then again (from memory); false when a thumbnail stayed empty.
    bool show()
    {
        m_image1.clearPicture();
        m_image3.clearPicture();
        PictureBox::forgetDecodedPictures();
        auto start = std::chrono::steady_clock::now();
        PictureBox::showFiles(m_files);
        shown.push_back(millisecondsSince(start));
        // Coming back to the record.
        start = std::chrono::steady_clock::now();
        PictureBox::showFiles(m_files);
        again.push_back(millisecondsSince(start));
        return m_image1.hasPicture() && m_image3.hasPicture();
    }

    std::vector<double> shown;
    std::vector<double> again;

private:
    PictureBox m_image1;
    PictureBox m_image3;
    std::array<PictureBox::Request, 2> m_files;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int width = argc > 1 ? std::atoi(argv[1]) : 6000;
    const int height = argc > 2 ? std::atoi(argv[2]) : 4000;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;

    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.jpg"));
    const QString second = dir.filePath(QStringLiteral("second.JPG"));
    const QString camera1 = dir.filePath(QStringLiteral("IMG_0001.JPG"));
    const QString camera2 = dir.filePath(QStringLiteral("IMG_0002.jpg"));
    if (!writePhoto(first, camera1, width, height, 1) || !writePhoto(second, camera2, height, width, 2)) {
        std::fprintf(stderr, "cannot write the pictures in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("pictures: %d x %d and %d x %d JPEG, %.1f MB and %.1f MB\n", width, height, height, width,
                static_cast<double>(QFileInfo(first).size()) / 1e6,
                static_cast<double>(QFileInfo(second).size()) / 1e6);

    Record camera(camera1, camera2);
    Record scaled(first, second);
    std::vector<double> plain;
    for (int round = 0; round < rounds; ++round) {
        if (!camera.show() || !scaled.show()) {
            std::fprintf(stderr, "a thumbnail stayed empty\n");
            return 1;
        }
        // The plain way: everything decoded, then scaled.
        const auto start = std::chrono::steady_clock::now();
        for (const QString& file : {first, second}) {
            const QImage whole = QImageReader(file).read();
            const QPixmap thumbnail =
                QPixmap::fromImage(whole.scaled(169, 169, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            if (thumbnail.isNull())
                return 1;
        }
        plain.push_back(millisecondsSince(start));
    }
    const double fromPreview = median(camera.shown);
    const double thumbnails = median(scaled.shown);
    const double baseline = median(plain);
    const auto verdict = [](double ms) { return ms < 50 ? "met" : "NOT MET"; };
    std::printf("two thumbnails, camera preview:        %8.1f ms (median of %d)  target < 50 ms: %s\n", fromPreview,
                rounds, verdict(fromPreview));
    std::printf("two thumbnails, decoded at their size: %8.1f ms (median of %d)  target < 50 ms: %s\n", thumbnails,
                rounds, verdict(thumbnails));
    std::printf("the same record shown again:           %8.1f ms\n", median(camera.again));
    std::printf("two thumbnails, decoded whole:         %8.1f ms  (baseline, same run)\n", baseline);
    std::printf("ratio to the baseline: %.3f (camera preview), %.3f (decoded at their size)\n", fromPreview / baseline,
                thumbnails / baseline);
    return fromPreview < 50 ? 0 : 2;
}
