#include "qtservices.h"

#include "ui/application.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSoundEffect>
#include <QUrl>

namespace fichora {

namespace {

QString title()
{
    return QString::fromLatin1(kApplicationTitle);
}

QString dialogFilter(const Services::FileDialog& dialog)
{
    return dialog.filters.join(QStringLiteral(";;"));
}

QString startPath(const Services::FileDialog& dialog)
{
    if (dialog.fileName.isEmpty())
        return dialog.directory;
    if (dialog.directory.isEmpty() || QFileInfo(dialog.fileName).isAbsolute())
        return dialog.fileName;
    return QDir(dialog.directory).filePath(dialog.fileName);
}

} // namespace

QtServices::QtServices(std::function<QString()> programDirectory) : m_programDirectory(std::move(programDirectory)) {}

QtServices::~QtServices() = default;

void QtServices::error(const QString& text)
{
    QMessageBox::critical(m_parent, title(), text);
}

void QtServices::warning(const QString& text)
{
    QMessageBox::warning(m_parent, title(), text);
}

void QtServices::information(const QString& text)
{
    QMessageBox::information(m_parent, title(), text);
}

void QtServices::plain(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtServices::confirmYesCancel(const QString& text)
{
    return QMessageBox::question(m_parent, title(), text, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool QtServices::confirmOkAbort(const QString& text)
{
    return QMessageBox::question(m_parent, title(), text, QMessageBox::Ok | QMessageBox::Abort, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

bool QtServices::confirmOkCancel(const QString& text)
{
    return QMessageBox::question(m_parent, title(), text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

QString QtServices::openFileName(const FileDialog& dialog)
{
    return QFileDialog::getOpenFileName(m_parent, dialog.title, startPath(dialog), dialogFilter(dialog));
}

QString QtServices::saveFileName(const FileDialog& dialog)
{
    QFileDialog box(m_parent, dialog.title, startPath(dialog), dialogFilter(dialog));
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setDefaultSuffix(dialog.defaultSuffix);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return box.selectedFiles().constFirst();
}

void QtServices::beep(Beep kind)
{
    // QApplication::beep is silent on most Linux desktops, so the beeps are wave files shipped with the program.
    const char* name = "beep-default.wav";
    switch (kind) {
    case Beep::Exclamation:
        name = "beep-exclamation.wav";
        break;
    case Beep::Information:
        name = "beep-information.wav";
        break;
    case Beep::Warning:
        name = "beep-warning.wav";
        break;
    case Beep::Default:
        break;
    }
    const QString directory = m_programDirectory ? m_programDirectory() : QString();
    const QString path = QDir(directory.isEmpty() ? QDir::currentPath() : directory).filePath(QLatin1String(name));
    if (QFileInfo::exists(path))
        playSound(path);
    else
        QApplication::beep();
}

void QtServices::playSound(const QString& path)
{
    // Without an audio device the effect simply never plays; it never waits for one.
    if (!m_sound)
        m_sound = std::make_unique<QSoundEffect>();
    m_sound->stop();
    m_sound->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    m_sound->play();
}

bool QtServices::openExternally(const QString& pathOrUrl)
{
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath())
                                                  : QUrl(pathOrUrl, QUrl::TolerantMode);
    return QDesktopServices::openUrl(url);
}

void QtServices::processEvents()
{
    QCoreApplication::processEvents();
}

void QtServices::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace fichora
