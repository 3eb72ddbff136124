#pragma once

#include "platform/services.h"

#include <QStringList>

namespace fichora::bench {

/// Answers every question with yes, opens nothing and remembers what was said: a benchmark whose flow
/// shows a box did not run clean.
class SilentServices : public Services
{
public:
    QStringList shown;

    void error(const QString& text) override { shown.append(text); }
    void warning(const QString& text) override { shown.append(text); }
    void information(const QString& text) override { shown.append(text); }
    void plain(const QString& text) override { shown.append(text); }
    bool confirmYesCancel(const QString& text) override { return said(text); }
    bool confirmOkAbort(const QString& text) override { return said(text); }
    bool confirmOkCancel(const QString& text) override { return said(text); }
    QString openFileName(const FileDialog&) override { return {}; }
    QString saveFileName(const FileDialog&) override { return {}; }
    void beep(Beep) override {}
    void playSound(const QString&) override {}
    bool openExternally(const QString&) override { return false; }
    void processEvents() override {}
    void setBusy(bool) override {}

private:
    bool said(const QString& text)
    {
        shown.append(text);
        return true;
    }
};

} // namespace fichora::bench
