#pragma once

#include <QString>
#include <QStringList>

namespace fichora {

/// Everything an operation asks of the person or the desktop goes through this seam: message boxes,
/// file dialogs, beeps, sounds, the shell and the processing of pending window events. The program uses
/// the Qt implementation (ui/qtservices.h); tests use a scripted one that answers without blocking and
/// records what was shown.
class Services
{
public:
    enum class Beep { Exclamation, Information, Warning, Default };

    struct FileDialog
    {
        QString title;
        QString directory;   ///< initial folder
        QString fileName;    ///< initial file name
        QStringList filters; ///< "Data files (*.xml *.cip)", ...
        QString defaultSuffix;
    };

    virtual ~Services() = default;

    virtual void error(const QString& text) = 0;       ///< error box, OK
    virtual void warning(const QString& text) = 0;     ///< warning box, OK
    virtual void information(const QString& text) = 0; ///< information box, OK
    virtual void plain(const QString& text) = 0;       ///< plain box without icon, OK
    /// Confirmation with Yes and Cancel; true for Yes.
    virtual bool confirmYesCancel(const QString& text) = 0;
    /// Confirmation with OK and Abort; true for OK.
    virtual bool confirmOkAbort(const QString& text) = 0;
    /// Confirmation with OK and Cancel; true for OK.
    virtual bool confirmOkCancel(const QString& text) = 0;

    /// The chosen file, or an empty text when the dialog was cancelled.
    virtual QString openFileName(const FileDialog& dialog) = 0;
    virtual QString saveFileName(const FileDialog& dialog) = 0;

    virtual void beep(Beep kind) = 0;
    /// Plays a sound file; fails quietly when there is no audio device.
    virtual void playSound(const QString& path) = 0;
    /// Opens a file or address with the desktop's associated program; false when it could not.
    virtual bool openExternally(const QString& pathOrUrl) = 0;

    /// Lets pending window events run (a long operation's chance to hear its cancel button).
    virtual void processEvents() = 0;

    /// Shows the hourglass cursor while `busy`, the normal cursor otherwise.
    virtual void setBusy(bool busy) = 0;
};

} // namespace fichora
