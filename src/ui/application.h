#pragma once

#include <QApplication>

namespace fichora {

class Services;

/// The application's title (two spaces after the name), shown on message boxes.
inline constexpr char kApplicationTitle[] = "Fichora  Version 3.6";

/// The application object. An exception that escapes an event handler is shown through the services
/// (an empty text for anything that is not a std::exception) and the event loop then ends with code 0:
/// the state the handler left behind is unknown, so going on would risk the user's files.
class GuardedApplication : public QApplication
{
public:
    GuardedApplication(int& argc, char** argv);

    void setServices(Services* services) { m_services = services; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void report(const QString& text);

    Services* m_services = nullptr;
    bool m_reporting = false;
};

/// Creates the application and its windows, shows the main window and runs the event loop until the
/// main window closes. Returns the process exit code.
int runApplication(int argc, char** argv);

} // namespace fichora
