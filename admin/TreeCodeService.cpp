#include "TreeCodeService.h"

#include "Messages.h"
#include "TdmData.h"
#include "TreePath.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Quellon {

namespace {
const QString ConnectionFailed = QStringLiteral("数据连接失败，请与作者联系... ");

// The records that store a path of the tree: houses name their region,
// clients their category.
struct PathColumn
{
    QString table;
    QString column;
};

std::optional<PathColumn> pathColumnOf(const QString &flag)
{
    if (flag.compare(TreeCodeService::areaFlag(), Qt::CaseInsensitive) == 0)
        return PathColumn{QStringLiteral("House"), QStringLiteral("F_area")};
    if (flag.compare(TreeCodeService::clientTypeFlag(), Qt::CaseInsensitive) == 0)
        return PathColumn{QStringLiteral("Client"), QStringLiteral("F_cltType")};
    return std::nullopt;
}

bool run(QSqlQuery &query, const QString &sql, const SqlParams &params, QString *error)
{
    bool ok = query.prepare(sql);
    if (ok) {
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            query.bindValue(it.key(), it.value());
        ok = query.exec();
    }
    if (!ok)
        *error = TdmData::explainError(query.lastError());
    return ok;
}

void reportFailure(const QString &error)
{
    ShowMess(error.isEmpty() ? ConnectionFailed : ConnectionFailed + QLatin1Char('\n') + error, MessError);
}
} // namespace

TreeCodeService::TreeCodeService(TdmData &dm, const QString &flag)
    : m_dm(dm)
    , m_flag(flag)
{
}

QList<tNodeData> TreeCodeService::readNodes()
{
    QList<tNodeData> nodes;
    QSqlQuery &query = m_dm.QryTemp();
    if (!m_dm.OpenQuery(QStringLiteral("select F_code,F_name,F_likecode from t_treecode where F_flag = :flag order by F_code"),
                        query, {{QStringLiteral(":flag"), m_flag}}))
        return nodes;
    while (query.next()) {
        const QString code = query.value(0).toString();
        nodes.append({int(code.size()), code, query.value(1).toString(), query.value(2).toString()});
    }
    query.finish();
    return nodes;
}

QString TreeCodeService::newCode(const tNodeData &node, Relation relation)
{
    if (relation == Relation::Sibling && node.isRoot()) {
        ShowMess(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"), MessInfo);
        return {};
    }
    const QString code = node.isRoot() ? QString() : node.code;
    const QString prefix = TreeCodeRule::prefix(code, relation);
    const SqlDialect &dialect = m_dm.dialect();
    const QString level = prefix.isEmpty()
                              ? dialect.length(QStringLiteral("F_code")) + QStringLiteral(" = %1").arg(TreeCodeRule::LevelDigits)
                              : dialect.likeStartsWith(QStringLiteral("F_code"), prefix);
    bool read = false;
    const QString maxCode = m_dm.QueryText(QStringLiteral("select Max(F_code) from t_treecode where ") + level
                                               + QStringLiteral(" and F_flag = :flag"),
                                           {{QStringLiteral(":flag"), m_flag}}, &read);
    if (!read)
        return {};
    const TreeCodeRule::Next next = TreeCodeRule::nextAfter(maxCode, code, relation);
    switch (next.outcome) {
    case TreeCodeRule::Outcome::Ok:
        return next.code;
    case TreeCodeRule::Outcome::LevelFull:
        ShowMess(QStringLiteral("同一级下最多只能有 999 个节点，编号已用完，不能再增加！"), MessInfo);
        return {};
    case TreeCodeRule::Outcome::NotNumeric:
        ShowMess(QStringLiteral("节点编码“%1”不是数字，无法生成新的编码！").arg(maxCode), MessInfo);
        return {};
    }
    return {};
}

QString TreeCodeService::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("部门名称不能为空！");
    if (name.contains(TreePath::separator()))
        return QStringLiteral("名称中不能含有反斜杠“\\”，它是路径的分隔符！");
    return {};
}

std::optional<tNodeData> TreeCodeService::add(const tNodeData &node, Relation relation, const QString &name,
                                              const QString &parentPath)
{
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        ShowMess(problem, MessInfo);
        return std::nullopt;
    }
    // The code is counted and stored under one write lock, so a second
    // workstation adding under the same parent cannot take the same code.
    DbTransaction transaction(m_dm);
    if (!transaction.isActive())
        return std::nullopt;
    const QString code = newCode(node, relation);
    if (code.isEmpty())
        return std::nullopt;
    const tNodeData added{int(code.size()), code, name, TreePath::childPath(parentPath, name)};
    QSqlQuery query(m_dm.database());
    QString error;
    if (!run(query,
             QStringLiteral("insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(:code,:name,:path,:flag)"),
             {{QStringLiteral(":code"), added.code},
              {QStringLiteral(":name"), added.name},
              {QStringLiteral(":path"), added.path},
              {QStringLiteral(":flag"), m_flag}},
             &error)
        || !transaction.commit()) {
        reportFailure(error);
        return std::nullopt;
    }
    return added;
}

std::optional<tNodeData> TreeCodeService::rename(const tNodeData &node, const QString &newName, const QString &parentPath)
{
    if (node.isRoot())
        return std::nullopt;
    if (const QString problem = nameProblem(newName); !problem.isEmpty()) {
        ShowMess(problem, MessInfo);
        return std::nullopt;
    }
    const QString newPath = TreePath::childPath(parentPath, newName);
    DbTransaction transaction(m_dm);
    if (!transaction.isActive())
        return std::nullopt;
    QString error;
    if (!renameRows(node, newName, newPath, &error) || !transaction.commit()) {
        reportFailure(error);
        return std::nullopt;
    }
    tNodeData renamed = node;
    renamed.name = newName;
    renamed.path = newPath;
    return renamed;
}

bool TreeCodeService::anotherNodeHasPath(const tNodeData &node, bool *ok, QString *error)
{
    QSqlQuery query(m_dm.database());
    *ok = run(query,
              QStringLiteral("select count(*) from t_treecode where F_flag = :flag and F_code <> :code and F_likecode = :path"),
              {{QStringLiteral(":flag"), m_flag}, {QStringLiteral(":code"), node.code}, {QStringLiteral(":path"), node.path}},
              error);
    return *ok && query.next() && query.value(0).toLongLong() > 0;
}

bool TreeCodeService::renameRows(const tNodeData &node, const QString &newName, const QString &newPath, QString *error)
{
    const SqlDialect &dialect = m_dm.dialect();
    const QString separator = TreePath::separator();
    // The engines count characters, not UTF-16 units.
    const int oldLength = int(node.path.toUcs4().size());
    // A path lies at or below the old one when, with a separator added, it
    // starts with the old path and a separator: exact text, so A never
    // matches AB and the letter case must agree.
    const auto atOrBelow = [&](const QString &column) {
        return QStringLiteral("substr(%1, 1, :belowLength) = :oldBelow")
            .arg(dialect.concat({column, QStringLiteral(":separator")}));
    };
    const auto rebased = [&](const QString &column) {
        return dialect.concat({QStringLiteral(":newPath"), QStringLiteral("substr(%1, :rest)").arg(column)});
    };
    const SqlParams prefixParams{{QStringLiteral(":separator"), separator},
                                 {QStringLiteral(":belowLength"), oldLength + 1},
                                 {QStringLiteral(":oldBelow"), node.path + separator},
                                 {QStringLiteral(":newPath"), newPath},
                                 {QStringLiteral(":rest"), oldLength + 1}};

    QSqlQuery query(m_dm.database());
    if (!run(query,
             QStringLiteral("update t_treecode set F_name = :name, F_likecode = :path where F_code = :code and F_flag = :flag"),
             {{QStringLiteral(":name"), newName},
              {QStringLiteral(":path"), newPath},
              {QStringLiteral(":code"), node.code},
              {QStringLiteral(":flag"), m_flag}},
             error))
        return false;

    // A stored path that is not a node's path would make every path of the
    // tree look like its descendant.
    if (!node.path.startsWith(TreePath::rootPath()) || node.path.size() <= TreePath::rootPath().size())
        return true;

    // Descendants are found by code, so a same-named node elsewhere in the
    // tree keeps its children's paths.
    SqlParams descendants = prefixParams;
    descendants.insert(QStringLiteral(":flag"), m_flag);
    descendants.insert(QStringLiteral(":codeLength"), int(node.code.size()));
    if (!run(query,
             QStringLiteral("update t_treecode set F_likecode = %1 where F_flag = :flag and %2 and %3 > :codeLength and %4")
                 .arg(rebased(QStringLiteral("F_likecode")),
                      dialect.likeStartsWith(QStringLiteral("F_code"), node.code),
                      dialect.length(QStringLiteral("F_code")),
                      atOrBelow(QStringLiteral("F_likecode"))),
             descendants, error))
        return false;

    const std::optional<PathColumn> records = pathColumnOf(m_flag);
    if (!records)
        return true;
    // A path shared with another node of the tree cannot tell whose records
    // it names; they keep it, since it still names an existing node.
    bool read = false;
    const bool shared = anotherNodeHasPath(node, &read, error);
    if (!read)
        return false;
    if (shared)
        return true;
    return run(query,
               QStringLiteral("update %1 set %2 = %3 where %4")
                   .arg(records->table, records->column, rebased(records->column), atOrBelow(records->column)),
               prefixParams, error);
}

bool TreeCodeService::remove(const tNodeData &node)
{
    // An empty code would match every row of the tree.
    if (node.isRoot() || node.code.isEmpty())
        return false;
    return m_dm.ExecSql(QStringLiteral("delete from t_treecode where ") + m_dm.dialect().likeStartsWith(QStringLiteral("F_code"), node.code)
                            + QStringLiteral(" and F_flag = :flag"),
                        {{QStringLiteral(":flag"), m_flag}});
}

} // namespace Quellon
