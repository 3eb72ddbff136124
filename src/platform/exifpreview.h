#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace fichora {

/// The small preview a camera or a phone stores in a JPEG photograph's Exif block (the "thumbnail" of
/// its second image directory), found without decoding the photograph. Only the file's header is read:
/// the markers before the start of scan, with the Exif segment starting within the first 64 KB.
/// The file is arbitrary user data: every offset and length is checked against the bytes at hand, and
/// anything that does not add up gives no preview rather than a guess.
namespace exifpreview {

/// How far into the file the Exif segment may start.
inline constexpr qsizetype kSearchLimit = 64 * 1024;
/// The bytes of a file's beginning that hold any segment starting within kSearchLimit.
inline constexpr qsizetype kHeadSize = kSearchLimit + 2 + 0xFFFF;

struct Preview
{
    /// A complete JPEG file (it starts with FF D8); it has no orientation of its own.
    QByteArray jpeg;
    /// The photograph's orientation, 1 to 8 as Exif numbers them: 1 upright, 2 mirrored left to right,
    /// 3 turned half a turn, 4 mirrored top to bottom, 5 mirrored along the main diagonal, 6 to be
    /// turned a quarter clockwise, 7 mirrored along the other diagonal, 8 to be turned a quarter
    /// counter-clockwise. 1 when the file does not say or says something else.
    int orientation = 1;

    bool operator==(const Preview&) const = default;
};

/// The preview in `head`, the beginning of a JPEG file (the whole file will do). Nothing when it is not
/// a JPEG file, has no Exif segment before the picture data, no second image directory, or when any
/// offset or length points outside the segment or the preview does not start as a JPEG file does.
std::optional<Preview> find(QByteArrayView head);

/// The preview of the JPEG file `path`, reading at most kHeadSize bytes of it. Nothing when the file
/// cannot be read or has none (see find()).
std::optional<Preview> read(const QString& path);

} // namespace exifpreview
} // namespace fichora
