#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace Quellon {

class AppConfig;
class Database;
struct LoginSession;

// What start-up needs of the main window, which lives in a module above this one.
class MainWindowHost
{
public:
    virtual ~MainWindowHost() = default;
    virtual QWidget *window() = 0;
    // Called after every successful login with the new state.
    virtual void applyLogin(const LoginSession &state) = 0;
};

using MainWindowFactory = std::function<std::unique_ptr<MainWindowHost>(Database &dm, AppConfig &config)>;

// The whole run: splash, configuration, connection (with recovery), main
// window, first login, event loop. Returns the program's exit code.
int runEntrySequence(int &argc, char **argv, const MainWindowFactory &createMainWindow);

} // namespace Quellon
