#pragma once

#include "PubUnit.h"

#include <QString>

namespace Quellon {

class AppConfig;
class TdmData;

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

    LoginService(TdmData &dm, AppConfig *config, Mode mode);

    // Checks one try and shows the messages a user sees for it.
    Outcome attempt(const QString &nameField, const QString &password);
    int wrongCount() const { return m_wrong; }
    Mode mode() const { return m_mode; }
    const LoginState &state() const { return m_state; }

    // Reads the login state of an operator known to exist.
    static LoginState loadState(TdmData &dm, const QString &name, const QString &imeName);

private:
    TdmData &m_dm;
    AppConfig *m_config;
    Mode m_mode;
    int m_wrong = 0;
    LoginState m_state;
};

} // namespace Quellon
