#pragma once

#include "platform/services.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QSoundEffect;
class QWidget;

namespace fichora {

/// The desktop's answers to the program's requests: Qt message boxes and file dialogs, beeps and sounds
/// played from the program directory's wave files, and the shell through QDesktopServices.
class QtServices : public Services
{
public:
    /// `programDirectory` is asked each time, so the beeps follow the directory found at start.
    explicit QtServices(std::function<QString()> programDirectory);
    ~QtServices() override;

    /// The window the boxes belong to (centred over it); none before the main window exists.
    void setParentWindow(QWidget* window) { m_parent = window; }

    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void plain(const QString& text) override;
    bool confirmYesCancel(const QString& text) override;
    bool confirmOkAbort(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    QString openFileName(const FileDialog& dialog) override;
    QString saveFileName(const FileDialog& dialog) override;
    void beep(Beep kind) override;
    void playSound(const QString& path) override;
    bool openExternally(const QString& pathOrUrl) override;
    void processEvents() override;
    void setBusy(bool busy) override;

private:
    std::function<QString()> m_programDirectory;
    QPointer<QWidget> m_parent;
    std::unique_ptr<QSoundEffect> m_sound;
    bool m_busy = false;
};

} // namespace fichora
