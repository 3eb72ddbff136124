#include "scriptedservices.h"

namespace fichora::test {

bool ScriptedServices::confirmYesCancel(const QString& text)
{
    m_shown.append({Kind::ConfirmYesCancel, text});
    return !m_answers.isEmpty() && m_answers.dequeue();
}

bool ScriptedServices::confirmOkAbort(const QString& text)
{
    m_shown.append({Kind::ConfirmOkAbort, text});
    return !m_answers.isEmpty() && m_answers.dequeue();
}

bool ScriptedServices::confirmOkCancel(const QString& text)
{
    m_shown.append({Kind::ConfirmOkCancel, text});
    return !m_answers.isEmpty() && m_answers.dequeue();
}

QString ScriptedServices::openFileName(const FileDialog& dialog)
{
    m_shown.append({Kind::OpenDialog, dialog.title});
    m_dialogs.append(dialog);
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedServices::saveFileName(const FileDialog& dialog)
{
    m_shown.append({Kind::SaveDialog, dialog.title});
    m_dialogs.append(dialog);
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QStringList ScriptedServices::texts() const
{
    QStringList out;
    for (const Shown& s : m_shown)
        out.append(s.text);
    return out;
}

void ScriptedServices::clear()
{
    m_shown.clear();
    m_answers.clear();
    m_fileNames.clear();
    m_beeps.clear();
    m_sounds.clear();
    m_opened.clear();
    m_dialogs.clear();
    m_processEventsCalls = 0;
}

} // namespace fichora::test
