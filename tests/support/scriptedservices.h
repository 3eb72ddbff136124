#pragma once

#include "platform/services.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace fichora::test {

/// Services for tests: records every box, beep, sound and shell request, and answers confirmations
/// and file dialogs from queues filled by the test (an empty queue answers Cancel / no file).
class ScriptedServices : public Services
{
public:
    enum class Kind {
        Error,
        Warning,
        Information,
        Plain,
        ConfirmYesCancel,
        ConfirmOkAbort,
        ConfirmOkCancel,
        OpenDialog,
        SaveDialog
    };

    struct Shown
    {
        Kind kind;
        QString text;
    };

    void setNextAnswer(bool yesOrOk) { m_answers.enqueue(yesOrOk); }
    void setNextFileName(const QString& path) { m_fileNames.enqueue(path); }

    void error(const QString& text) override { m_shown.append({Kind::Error, text}); }
    void warning(const QString& text) override { m_shown.append({Kind::Warning, text}); }
    void information(const QString& text) override { m_shown.append({Kind::Information, text}); }
    void plain(const QString& text) override { m_shown.append({Kind::Plain, text}); }
    bool confirmYesCancel(const QString& text) override;
    bool confirmOkAbort(const QString& text) override;
    bool confirmOkCancel(const QString& text) override;
    QString openFileName(const FileDialog& dialog) override;
    QString saveFileName(const FileDialog& dialog) override;
    void beep(Beep kind) override { m_beeps.append(kind); }
    void playSound(const QString& path) override { m_sounds.append(path); }
    bool openExternally(const QString& pathOrUrl) override
    {
        m_opened.append(pathOrUrl);
        return m_opensSucceed;
    }
    /// Whether the desktop manages to open what it is asked to (it does by default).
    void setOpensSucceed(bool succeed) { m_opensSucceed = succeed; }
    void processEvents() override { ++m_processEventsCalls; }
    void setBusy(bool busy) override { m_busy = busy; }
    bool busy() const { return m_busy; }

    const QList<Shown>& shown() const { return m_shown; }
    /// The texts of all boxes shown so far, in order.
    QStringList texts() const;
    const QList<Beep>& beeps() const { return m_beeps; }
    const QStringList& sounds() const { return m_sounds; }
    const QStringList& opened() const { return m_opened; }
    const QList<FileDialog>& dialogs() const { return m_dialogs; }
    int processEventsCalls() const { return m_processEventsCalls; }
    void clear();

private:
    QList<Shown> m_shown;
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    QList<Beep> m_beeps;
    QStringList m_sounds;
    QStringList m_opened;
    QList<FileDialog> m_dialogs;
    int m_processEventsCalls = 0;
    bool m_busy = false;
    bool m_opensSucceed = true;
};

} // namespace fichora::test
