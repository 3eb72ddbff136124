#include "picturebox.h"

#include "platform/exifpreview.h"
#include "platform/services.h"

#include <QBuffer>
#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace fichora {

namespace {

QByteArray formatOf(picturelist::PictureType type)
{
    switch (type) {
    case picturelist::PictureType::Bitmap:
        return "bmp";
    case picturelist::PictureType::Jpeg:
        return "jpeg";
    case picturelist::PictureType::Png:
        return "png";
    case picturelist::PictureType::Gif:
        return "gif";
    case picturelist::PictureType::None:
        break;
    }
    return {};
}

/// A reader for the file: its type names the loader to try first, and the content decides when the
/// name does not tell the truth (a JPEG saved as ".bmp" still shows).
void prepare(QImageReader& reader, const QString& file, picturelist::PictureType type)
{
    reader.setFileName(file);
    reader.setFormat(formatOf(type));
    reader.setAutoTransform(true);
}

/// Thumbnails decoded lately, so that moving back and forth through records does not decode the same
/// photographs again. A changed file (time or size) is a new entry. Used from the window thread only.
class ThumbnailCache
{
public:
    static constexpr int kMaxPixels = 4 * 1024 * 1024;

    static QString key(const QString& file, QSize bound)
    {
        const QFileInfo info(file);
        return QStringLiteral("%1|%2|%3|%4x%5")
            .arg(info.absoluteFilePath())
            .arg(info.lastModified().toMSecsSinceEpoch())
            .arg(info.size())
            .arg(bound.width())
            .arg(bound.height());
    }
    static QCache<QString, QImage>& entries()
    {
        static QCache<QString, QImage> cache(kMaxPixels);
        return cache;
    }
};

/// The camera's preview turned as the photograph is: Exif orientations 2 to 8 combine a mirror left to
/// right, one top to bottom and a quarter turn clockwise, applied in that order.
QImage oriented(const QImage& image, int orientation)
{
    const bool mirror = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
    const bool flip = orientation == 3 || orientation == 4 || orientation == 5 || orientation == 8;
    const bool turn = orientation >= 5 && orientation <= 8;
    QImage result = mirror || flip ? image.mirrored(mirror, flip) : image;
    return turn ? result.transformed(QTransform().rotate(90)) : result;
}

/// The preview the camera stored in a JPEG file, fitted to `fitted`, when it can stand for the
/// photograph of `upright` size (as shown): the same proportions, and not enlarged by more than a
/// little, so that a thumbnail costs a small decode rather than reading the whole photograph.
/// Null when the file has none or it does not qualify.
QImage fittedPreview(const QString& file, QSize upright, QSize fitted)
{
    const std::optional<exifpreview::Preview> preview = exifpreview::read(file);
    if (!preview)
        return {};
    QBuffer buffer;
    buffer.setData(preview->jpeg);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the photograph's orientation is the one that counts
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return {};
    const QSize size = preview->orientation >= 5 ? stored.transposed() : stored;
    // Cameras that keep a 4:3 preview of a 3:2 photograph add black bars: such a preview is not used.
    const double proportions =
        static_cast<double>(size.width()) * upright.height() / (static_cast<double>(size.height()) * upright.width());
    if (std::abs(proportions - 1.0) > 0.02)
        return {};
    if (size.width() < 0.9 * fitted.width() || size.height() < 0.9 * fitted.height())
        return {};
    const QImage image = oriented(reader.read(), preview->orientation);
    if (image.isNull())
        return {};
    return image.size() == fitted ? image : image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage loadFittedPicture(const QString& file, picturelist::PictureType type, QSize bound)
{
    if (file.isEmpty() || bound.isEmpty())
        return {};
    QImageReader reader;
    prepare(reader, file, type);
    QSize size = reader.size();
    if (!size.isValid())
        return {};
    // Turned by the camera's orientation, the picture's width and height swap.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? size.transposed() : size;
    const QSize fitted = upright.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (type == picturelist::PictureType::Jpeg) {
        if (QImage preview = fittedPreview(file, upright, fitted); !preview.isNull())
            return preview;
    }
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // The size asked for is before the turn.
        reader.setScaledSize(turned ? fitted.transposed() : fitted);
        QImage image = reader.read();
        if (image.isNull() || image.size() == fitted)
            return image;
        return image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    const QImage image = reader.read();
    return image.isNull() ? image : image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage loadPicture(const QString& file, picturelist::PictureType type)
{
    if (file.isEmpty())
        return {};
    QImageReader reader;
    prepare(reader, file, type);
    return reader.read();
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setScaledContents(false);
    setMinimumSize(1, 1);
}

void PictureBox::showFile(const QString& file, picturelist::PictureType type)
{
    m_file = file;
    m_type = type;
    decode();
}

void PictureBox::clearPicture()
{
    m_file.clear();
    m_type = picturelist::PictureType::None;
    clear();
}

void PictureBox::decode()
{
    const Request request{this, m_file, m_type};
    showFiles(std::span(&request, 1));
}

void PictureBox::adopt(const QString& file, picturelist::PictureType type, const QImage& image)
{
    m_file = file;
    m_type = file.isEmpty() ? picturelist::PictureType::None : type;
    if (image.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(image));
}

void PictureBox::forgetDecodedPictures()
{
    ThumbnailCache::entries().clear();
}

void PictureBox::showFiles(std::span<const Request> requests)
{
    auto& cache = ThumbnailCache::entries();
    std::vector<QImage> images(requests.size());
    std::vector<QString> keys(requests.size());
    std::vector<QSize> bounds(requests.size());
    std::vector<std::size_t> toDecode;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        if (r.file.isEmpty())
            continue;
        bounds[i] = r.box->contentsRect().size();
        keys[i] = ThumbnailCache::key(r.file, bounds[i]);
        if (const QImage* cached = cache.object(keys[i]))
            images[i] = *cached;
        else
            toDecode.push_back(i);
    }
    // The pictures are shared out between one worker per core, this thread being one of them: a
    // record's two photographs take the time of one. Each worker writes only the images it took.
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k = next++; k < toDecode.size(); k = next++) {
            const std::size_t i = toDecode[k];
            images[i] = loadFittedPicture(requests[i].file, requests[i].type, bounds[i]);
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (std::size_t w = 1; w < std::min(cores, toDecode.size()); ++w)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    for (const std::size_t i : toDecode)
        if (!images[i].isNull())
            cache.insert(keys[i], new QImage(images[i]),
                         static_cast<qsizetype>(images[i].width()) * images[i].height());
    for (std::size_t i = 0; i < requests.size(); ++i)
        requests[i].box->adopt(requests[i].file, requests[i].type, images[i]);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT doubleClicked();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!m_file.isEmpty())
        decode();
}

bool showPictureName(PictureBox& box, const QString& name, const QString& programDirectory, Services& services)
{
    const PictureName one{&box, name};
    return showPictureNames(std::span(&one, 1), programDirectory, services).front();
}

std::vector<bool> showPictureNames(std::span<const PictureName> names, const QString& programDirectory,
                                   Services& services)
{
    std::vector<PictureBox::Request> requests;
    std::vector<bool> kept;
    for (const PictureName& entry : names) {
        const picturelist::Display display = picturelist::displayRule(entry.name, programDirectory);
        requests.push_back({entry.box, display.file, display.type});
        if (display.beep)
            services.beep(Services::Beep::Exclamation);
        kept.push_back(display.keepName);
    }
    PictureBox::showFiles(requests);
    return kept;
}

} // namespace fichora
