#include "application.h"

#include "app/programdirectory.h"
#include "app/session.h"
#include "ui/qtservices.h"
#include "ui/tform1.h"
#include "ui/tform12.h"
#include "ui/tform2.h"
#include "ui/tform4.h"
#include "ui/tform8.h"

#include <exception>
#include <memory>

namespace fichora {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QString());
    }
    return false;
}

void GuardedApplication::report(const QString& text)
{
    // A failure while the box itself is up must not stack a second box.
    if (m_reporting)
        return;
    m_reporting = true;
    if (m_services)
        m_services->error(text);
    m_reporting = false;
    QCoreApplication::exit(0);
}

namespace {

/// The program's windows, created once at start in this order and kept for the whole run; windows
/// after the main window are added here as they are written.
struct Windows
{
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm8> form8;
    std::unique_ptr<TForm12> form12;
};

Windows createWindows(Services& services, Session& session)
{
    Windows windows;
    windows.form1 = std::make_unique<TForm1>(services, session, defaultProgramLocations());
    windows.form2 = std::make_unique<TForm2>(services, session);
    windows.form4 = std::make_unique<TForm4>(session);
    windows.form8 = std::make_unique<TForm8>(session);
    windows.form12 = std::make_unique<TForm12>(services, session, *windows.form1);
    windows.form1->setNewDatabaseWindow(windows.form2.get());
    windows.form1->setFullSizePictureWindow(windows.form4.get());
    windows.form1->setLongTextEditor(windows.form8.get());
    windows.form1->setOtherFilesWindow(windows.form12.get());
    return windows;
}

} // namespace

int runApplication(int argc, char** argv)
{
    Session session;
    GuardedApplication app(argc, argv);
    // Declared after the application, so its sound effect goes before the application does.
    QtServices services([&session] { return session.programDirectory; });
    app.setServices(&services);
    QCoreApplication::setApplicationName(QStringLiteral("Fichora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.6"));

    Windows windows = createWindows(services, session);
    services.setParentWindow(windows.form1.get());
    windows.form1->show();
    const int code = QApplication::exec();
    return code;
}

} // namespace fichora
