#pragma once

#include "browse/picturelist.h"

#include <QImage>
#include <QLabel>
#include <QSize>

#include <span>

namespace fichora {

class Services;

/// Decodes a picture file so that it fits in `bound`, keeping its proportions (smaller pictures are
/// enlarged to fit too). The reader scales while decoding, so a photograph of many megapixels costs
/// little more than its thumbnail; the camera's orientation is applied. A file that cannot be read
/// gives a null image.
QImage loadFittedPicture(const QString& file, picturelist::PictureType type, QSize bound);
/// Decodes a picture file at its real size (null when it cannot be read).
QImage loadPicture(const QString& file, picturelist::PictureType type);

/// An image control that shows one picture file stretched proportionally within its size, decoded at
/// that size, and decoded again when it is resized (a thumbnail that is enlarged stays sharp).
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    /// Shows `file` (cleared when it is empty or cannot be read).
    void showFile(const QString& file, picturelist::PictureType type);

    struct Request
    {
        PictureBox* box;
        QString file; ///< empty: the box is cleared
        picturelist::PictureType type;
    };
    /// Shows several files at once, decoding them side by side on the machine's cores. Pictures shown
    /// lately at the same size are taken from memory.
    static void showFiles(std::span<const Request> requests);
    /// Forgets the pictures kept in memory.
    static void forgetDecodedPictures();
    /// Clears the control.
    void clearPicture();
    /// The file shown; empty when cleared.
    QString file() const { return m_file; }
    /// Whether a picture is painted (false for a cleared control or an unreadable file).
    bool hasPicture() const { return !pixmap().isNull(); }

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void decode();
    void adopt(const QString& file, picturelist::PictureType type, const QImage& image);

    QString m_file;
    picturelist::PictureType m_type = picturelist::PictureType::None;
};

/// Applies the display rule to `name` in `box`: the picture itself, a stand-in of the program
/// directory with the exclamation beep (missing file, not a picture), or nothing for an empty name.
/// Returns whether the name stays the picture name (false when a stand-in took its place).
bool showPictureName(PictureBox& box, const QString& name, const QString& programDirectory, Services& services);

struct PictureName
{
    PictureBox* box;
    QString name;
};
/// The display rule for several boxes at once, their pictures decoded side by side; the beeps come in
/// the order of the boxes. Returns, per box, whether its name stays the picture name.
std::vector<bool> showPictureNames(std::span<const PictureName> names, const QString& programDirectory,
                                   Services& services);

} // namespace fichora
