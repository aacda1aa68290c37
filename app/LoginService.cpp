#include "LoginService.h"

#include "AppConfig.h"
#include "Messages.h"
#include "PassCodec.h"
#include "Permissions.h"
#include "TdmData.h"

#include <QSqlQuery>

namespace Quellon {

LoginService::LoginService(TdmData &dm, AppConfig *config, Mode mode) : m_dm(dm), m_config(config), m_mode(mode) {}

LoginService::Outcome LoginService::attempt(const QString &nameField, const QString &password)
{
    const QString name = nameField.trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("请选择用户！"), MessInfo);
        return Outcome::EmptyName;
    }
    const SqlParams byName{{QStringLiteral(":name"), name}};
    // A disabled operator is refused as if he did not exist; his rows stay.
    const QString disabled = m_dm.dialect().boolLiteral(true);
    if (m_dm.QueryInt(QStringLiteral("select F_ID from OperList where F_name = :name and (F_Flag is null or F_Flag <> %1)")
                          .arg(disabled),
                      byName)
        <= 0) {
        ShowMess(QStringLiteral("此操作员并不存在，请重新选择操作员！"), MessInfo);
        return Outcome::UnknownName;
    }
    bool readOk = false;
    const QString stored = m_dm.QueryText(QStringLiteral("select f_PassWord from OperList Where F_Name = :name "), byName, &readOk);
    // A password that cannot be read never passes for the empty password.
    if (!readOk)
        return Outcome::Unavailable;
    bool decoded = false;
    const QString plain = GetPass(stored, &decoded);
    if (!decoded || plain != password) {
        ++m_wrong;
        if (m_wrong < MaxTries) {
            ShowMess(QStringLiteral("用户名或密码不正确，请重新输入！"), MessInfo);
            return Outcome::WrongPassword;
        }
        // The log row names the operator still logged in (nobody at start).
        if (m_mode == Mode::ChangeOperator) {
            m_dm.WriteLog(QStringLiteral("更换操作员失败！"));
            ShowMess(QStringLiteral("更换操作员失败!"), MessError);
        } else {
            m_dm.WriteLog(QStringLiteral("登录失败！"));
            ShowMess(QStringLiteral("非法操作员!"), MessError);
        }
        return Outcome::Refused;
    }
    m_state = loadState(m_dm, name, m_config ? m_config->curImeName() : currentLogin().imeName);
    if (m_config) {
        m_config->setCurOperName(name);
        m_config->save();
    }
    return Outcome::Success;
}

LoginState LoginService::loadState(TdmData &dm, const QString &name, const QString &imeName)
{
    LoginState state;
    state.operatorName = name.trimmed();
    state.imeName = imeName;
    QSqlQuery &q = dm.QryPub();
    if (dm.OpenQuery(QStringLiteral("select F_xtFlag,F_empFlag,F_empQX from OperList where F_name = :name "), q,
                     {{QStringLiteral(":name"), state.operatorName}})
        && q.next()) {
        state.masked = q.value(0).toBool();
        state.scope = q.value(1).toInt();
        state.salespersonList = q.value(2).toString();
    }
    q.finish();
    if (state.scope < 0 || state.scope > 2)
        state.scope = 0;
    if (state.isAdmin())
        state.masked = false;

    if (dm.OpenQuery(QStringLiteral("select * from KeyValue order by F_ID"), q)) {
        while (q.next())
            state.settings << q.value(QStringLiteral("F_Value")).toString();
    }
    q.finish();
    state.amountFormat = TdmData::NumberFormat(state.decimalPlaces(13), 1);
    state.priceFormat = TdmData::NumberFormat(state.decimalPlaces(14), 2);
    state.valueFormat = TdmData::NumberFormat(state.decimalPlaces(15), 3);

    dm.setCurrentOperator(state.operatorName);
    state.visibility = Permissions::SetLimits(state.isAdmin(), [&dm](const QString &key) { return dm.HasLimit(key); });
    return state;
}

} // namespace Quellon
