// The main window's pictures: the two thumbnails of the current record, the full-size window, the
// counter of its pictures and files, and the opening of a file with its program.

#include "tform1.h"

#include "app/messages.h"
#include "app/session.h"
#include "browse/picturelist.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "platform/services.h"
#include "ui/picturebox.h"
#include "ui/tform12.h"
#include "ui/tform4.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace fichora {

namespace {

QString nameOf(const std::string& bytes)
{
    return cp1252::toUnicode(bytes);
}

} // namespace

void TForm1::connectPictures()
{
    auto* editor = qobject_cast<QLineEdit*>(fieldControls(kFieldCount).editor);
    connect(editor, &QLineEdit::textChanged, this, &TForm1::DBEdit11Change);
    connect(m_picture1, &PictureBox::doubleClicked, this, &TForm1::Image1DblClick);
    connect(m_picture2, &PictureBox::doubleClicked, this, &TForm1::Image3DblClick);
    connect(m_otherFilesButton, &QPushButton::clicked, this, &TForm1::OpenPicturesClick);
    connect(this, &TForm1::otherFilesCounterNeeded, this, &TForm1::refreshOtherFilesCounter);
    m_session.refreshOtherFiles = [this](Session&) { refreshOtherFilesCounter(); };
}

void TForm1::setFullSizePictureWindow(TForm4* window)
{
    m_fullSizePicture = window;
}

TForm4* TForm1::fullSizePictureWindow() const
{
    return m_fullSizePicture;
}

void TForm1::setOtherFilesWindow(TForm12* window)
{
    m_otherFiles = window;
}

TForm12* TForm1::otherFilesWindow() const
{
    return m_otherFiles;
}

QString TForm1::pictureList() const
{
    return m_binder.text(kFieldCount);
}

bool TForm1::storePictureList(const QString& list)
{
    if (!m_session.open)
        return false;
    if (m_session.isReadOnly()) {
        m_services.information(message(Msg::PicturesProtectedNotStored, m_session.language));
        return false;
    }
    RecordTable& records = m_session.records;
    if (records.state() == RecordTable::State::Browse) {
        // An empty table gets a new record to hold the list.
        auto started = records.currentRow() ? records.edit() : records.insert();
        if (!started) {
            m_services.error(started.error().message);
            return false;
        }
        if (records.state() == RecordTable::State::Insert)
            m_binder.load(records);
    }
    markModified();
    m_binder.setText(kFieldCount, list);
    m_binder.setModified(kFieldCount, true);
    return true;
}

void TForm1::DBEdit11Change()
{
    const std::string list = cp1252::fromUnicode(pictureList()).toStdString();
    const picturelist::Names names = picturelist::read(list);
    const QString first = nameOf(names[0]);
    const QString second = nameOf(names[1]);
    const PictureName shown[] = {{m_picture1, first}, {m_picture2, second}};
    const std::vector<bool> kept = showPictureNames(shown, m_session.programDirectory, m_services);
    m_firstPictureName = kept[0] ? first : QString();
    m_secondPictureName = kept[1] ? second : QString();
}

void TForm1::Image1DblClick()
{
    showFullSize(m_firstPictureName);
}

void TForm1::Image3DblClick()
{
    showFullSize(m_secondPictureName);
}

void TForm1::showFullSize(const QString& name)
{
    m_fullSizePictureName = name;
    if (!m_fullSizePicture)
        return;
    m_fullSizePicture->setPictureName(name);
    // Shown again, the window loads the new picture even when it was already up.
    m_fullSizePicture->hide();
    m_fullSizePicture->show();
    m_fullSizePicture->raise();
}

void TForm1::OpenPicturesClick()
{
    if (!m_otherFiles)
        return;
    if (m_otherFiles->isVisible()) {
        m_otherFiles->hide();
        return;
    }
    // The window reads the list being edited, so what was typed elsewhere in the record stays pending.
    m_otherFiles->show();
    m_otherFiles->raise();
}

void TForm1::refreshOtherFilesCounter()
{
    // While the record is edited its list is the editor's (a list just stored by the window); otherwise
    // the table's, which the editor may not show yet when a database has just been opened.
    const RecordTable& records = m_session.records;
    std::string list;
    if (records.state() != RecordTable::State::Browse)
        list = cp1252::fromUnicode(pictureList()).toStdString();
    else if (records.isOpen() && records.currentRow() && records.fieldIndex("F23") >= 0)
        list = records.text(records.fieldIndex("F23"));
    const int count = picturelist::otherFilesCount(list);
    const QString caption = QString::number(count);
    m_otherFilesButton->setText(caption);
    m_otherFilesCount->setText(caption);
}

void TForm1::openWithAssociatedProgram(const QString& fileName)
{
    if (fileName.isEmpty()) {
        m_services.beep(Services::Beep::Default);
        m_services.beep(Services::Beep::Default);
        return;
    }
    // The file's folder becomes the current one, for the programs that look for companions beside it.
    const qsizetype cut = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    if (cut >= 0) {
        const QString folder = QDir::fromNativeSeparators(fileName.left(cut + 1));
        if (QDir(folder).exists())
            QDir::setCurrent(folder);
    }
    const bool opened = m_services.openExternally(fileName);
    if (const auto failure = picturelist::openResult(fileName, opened))
        m_services.error(picturelist::openResultText(*failure, fileName, m_session.language));
}

} // namespace fichora
