#pragma once

#include "platform/services.h"

#include <QTextStream>

namespace fichora::tool {

/// Boxes become lines on standard error (information on standard output); questions take the answer the
/// command line gave; there are no dialogs, sounds or events.
class ToolServices : public Services
{
public:
    explicit ToolServices(bool answer = false) : m_answer(answer) {}

    void error(const QString& text) override { say(QStringLiteral("error: "), text, true); }
    void warning(const QString& text) override { say(QStringLiteral("warning: "), text, true); }
    void information(const QString& text) override { say(QString(), text, false); }
    void plain(const QString& text) override { say(QStringLiteral("error: "), text, true); }
    bool confirmYesCancel(const QString& text) override { return ask(text); }
    bool confirmOkAbort(const QString& text) override { return ask(text); }
    bool confirmOkCancel(const QString& text) override { return ask(text); }
    QString openFileName(const FileDialog&) override { return {}; }
    QString saveFileName(const FileDialog&) override { return {}; }
    void beep(Beep) override {}
    void playSound(const QString&) override {}
    bool openExternally(const QString&) override { return false; }
    void processEvents() override {}
    void setBusy(bool) override {}

    /// Something was shown as an error or a warning.
    bool complained() const { return m_complained; }

private:
    bool ask(const QString& text)
    {
        say(QString(), text + (m_answer ? QStringLiteral(" -> yes") : QStringLiteral(" -> no")), true);
        return m_answer;
    }
    void say(const QString& prefix, const QString& text, bool toError)
    {
        QTextStream out(toError ? stderr : stdout);
        QString flat = text;
        flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
        out << prefix << flat.simplified() << Qt::endl;
        if (toError && !prefix.isEmpty())
            m_complained = true;
    }

    bool m_answer;
    bool m_complained = false;
};

} // namespace fichora::tool
