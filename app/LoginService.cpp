#include "LoginService.h"

#include "AppConfig.h"
#include "Messages.h"
#include "PasswordCodec.h"
#include "Permissions.h"
#include "Database.h"
#include "NumberFormats.h"
#include "OperationLog.h"
#include "PermissionGrants.h"
#include "SalespersonList.h"

#include <QSqlQuery>

namespace Quellon {

LoginService::LoginService(Database &dm, AppConfig *config, Mode mode, const QString &loggedIn, const QString &imeName)
    : m_dm(dm), m_config(config), m_mode(mode), m_loggedIn(loggedIn), m_imeName(imeName)
{
}

LoginService::Outcome LoginService::attempt(const QString &nameField, const QString &password)
{
    const QString name = nameField.trimmed();
    if (name.isEmpty()) {
        showMessage(QStringLiteral("请选择用户！"), MessageKind::Information);
        return Outcome::EmptyName;
    }
    const SqlParams byName{{QStringLiteral(":name"), name}};
    // A disabled operator is refused as if he did not exist; his rows stay.
    if (m_dm.queryInt(QStringLiteral("select F_ID from OperList where F_name = :name and (F_Flag is null or F_Flag <> %1)")
                          .arg(m_dm.dialect().boolLiteral(true)),
                      byName)
        <= 0) {
        showMessage(QStringLiteral("此操作员并不存在，请重新选择操作员！"), MessageKind::Information);
        return Outcome::UnknownName;
    }
    bool readOk = false;
    const QString stored = m_dm.queryText(QStringLiteral("select f_PassWord from OperList Where F_Name = :name "), byName, &readOk);
    // A password that cannot be read never passes for the empty password.
    if (!readOk)
        return Outcome::Unavailable;
    bool decoded = false;
    const QString plain = decodePassword(stored, &decoded);
    if (!decoded || plain != password) {
        ++m_wrong;
        if (m_wrong < MaxTries) {
            showMessage(QStringLiteral("用户名或密码不正确，请重新输入！"), MessageKind::Information);
            return Outcome::WrongPassword;
        }
        // The log row names the operator still logged in (nobody at start).
        OperationLog log(m_dm);
        if (m_mode == Mode::ChangeOperator) {
            log.write(m_loggedIn, QStringLiteral("更换操作员失败！"));
            showMessage(QStringLiteral("更换操作员失败!"), MessageKind::Error);
        } else {
            log.write(m_loggedIn, QStringLiteral("登录失败！"));
            showMessage(QStringLiteral("非法操作员!"), MessageKind::Error);
        }
        return Outcome::Refused;
    }
    m_state = loadState(m_dm, name, m_config ? m_config->inputMethodName() : m_imeName);
    if (m_config) {
        m_config->setLastOperatorName(name);
        m_config->save();
    }
    return Outcome::Success;
}

LoginSession LoginService::loadState(Database &dm, const QString &name, const QString &imeName)
{
    LoginSession state;
    state.operatorName = name.trimmed();
    state.imeName = imeName;
    QSqlQuery q;
    q.setForwardOnly(true);
    if (dm.openQuery(SqlFragment(QStringLiteral("select F_xtFlag,F_empFlag,F_empQX from OperList where F_name = ?"),
                                 {state.operatorName}),
                     q)
        && q.next()) {
        state.masked = q.value(0).toBool();
        state.scope = q.value(1).toInt();
        state.salespersons = SalespersonList::parse(q.value(2).toString());
    }
    q.finish();
    if (state.scope < LoginSession::AllRecords || state.scope > LoginSession::ListedSalespersons)
        state.scope = LoginSession::AllRecords;
    if (state.isAdmin())
        state.masked = false;

    if (dm.openQuery(QStringLiteral("select F_Value from KeyValue order by F_ID"), q)) {
        while (q.next())
            state.settings << q.value(0).toString();
    }
    q.finish();
    state.amountFormat = NumberFormats::pattern(state.decimalPlaces(13), NumberFormats::Quantity);
    state.priceFormat = NumberFormats::pattern(state.decimalPlaces(14), NumberFormats::Price);
    state.valueFormat = NumberFormats::pattern(state.decimalPlaces(15), NumberFormats::Money);

    const QSet<QString> granted = state.isAdmin() ? QSet<QString>() : PermissionGrants(dm).grantedKeys(state.operatorName);
    state.visibility = Permissions::visibility(state.isAdmin(), granted);
    return state;
}

} // namespace Quellon
