#pragma once

#include "LoginSession.h"

#include <QString>

namespace Quellon {

class AppConfig;
class Database;

// The checks behind the login dialog's OK, without the dialog: name, password,
// the count of wrong passwords, and loading the login state on success.
class LoginService
{
public:
    enum class Mode { FirstLogin, ChangeOperator };
    enum class Outcome {
        Success,       // state() holds the new login state
        EmptyName,     // nothing typed
        UnknownName,   // no such operator, or one that is disabled
        WrongPassword, // 1st to 3rd wrong password
        Refused,       // 4th wrong password: the dialog ends (and at start, the program)
        Unavailable,   // the password could not be read: refused, not counted
    };

    static constexpr int MaxTries = 4;

    // loggedIn names the operator logged in before (for the log of a refused
    // change of operator); imeName is used when there is no configuration.
    LoginService(Database &dm, AppConfig *config, Mode mode, const QString &loggedIn = {}, const QString &imeName = {});

    // Checks one try and shows the messages a user sees for it.
    Outcome attempt(const QString &nameField, const QString &password);
    int wrongCount() const { return m_wrong; }
    Mode mode() const { return m_mode; }
    const LoginSession &state() const { return m_state; }

    // Reads the login state of an operator known to exist.
    static LoginSession loadState(Database &dm, const QString &name, const QString &imeName);

private:
    Database &m_dm;
    AppConfig *m_config;
    Mode m_mode;
    QString m_loggedIn;
    QString m_imeName;
    int m_wrong = 0;
    LoginSession m_state;
};

} // namespace Quellon
