#include "TreeCodeService.h"

#include "Messages.h"
#include "Database.h"
#include "DatabaseTransaction.h"
#include "TreePath.h"

#include <QDebug>
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

bool run(QSqlQuery &query, const SqlFragment &statement, QString *error)
{
    bool ok = query.prepare(statement.sql());
    if (ok) {
        Database::bind(query, statement.values());
        ok = query.exec();
    }
    if (!ok) {
        qWarning().noquote() << "tree update failed:" << query.lastError().text();
        *error = Database::explainError(query.lastError());
    }
    return ok;
}

void reportFailure(const QString &error)
{
    showMessage(error.isEmpty() ? ConnectionFailed : ConnectionFailed + QLatin1Char('\n') + error, MessageKind::Error);
}
} // namespace

TreeCodeService::TreeCodeService(Database &db, const QString &flag)
    : m_db(db)
    , m_flag(flag)
{
}

QList<TreeNode> TreeCodeService::readNodes()
{
    QList<TreeNode> nodes;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!m_db.openQuery(SqlFragment(QStringLiteral("select F_code,F_name,F_likecode from t_treecode where F_flag = ? order by F_code"),
                                    {m_flag}),
                        query))
        return nodes;
    while (query.next()) {
        const QString code = query.value(0).toString();
        nodes.append({int(code.size()), code, query.value(1).toString(), query.value(2).toString()});
    }
    query.finish();
    return nodes;
}

QString TreeCodeService::newCode(const TreeNode &node, Relation relation)
{
    if (relation == Relation::Sibling && node.isRoot()) {
        showMessage(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"), MessageKind::Information);
        return {};
    }
    const QString code = node.isRoot() ? QString() : node.code;
    const QString prefix = TreeCodeRule::prefix(code, relation);
    const SqlDialect &dialect = m_db.dialect();
    const SqlFragment level = prefix.isEmpty()
                                  ? SqlFragment(dialect.length(QStringLiteral("F_code")) + QStringLiteral(" = ?"),
                                                {TreeCodeRule::LevelDigits})
                                  : dialect.startsWith(QStringLiteral("F_code"), prefix);
    bool read = false;
    const QString maxCode = m_db.queryText(SqlFragment(QStringLiteral("select Max(F_code) from t_treecode"))
                                               + SqlFragment::where(level && SqlFragment::equals(QStringLiteral("F_flag"), m_flag)),
                                           &read);
    if (!read)
        return {};
    const TreeCodeRule::Next next = TreeCodeRule::nextAfter(maxCode, code, relation);
    switch (next.outcome) {
    case TreeCodeRule::Outcome::Ok:
        return next.code;
    case TreeCodeRule::Outcome::LevelFull:
        showMessage(QStringLiteral("同一级下最多只能有 999 个节点，编号已用完，不能再增加！"), MessageKind::Information);
        return {};
    case TreeCodeRule::Outcome::NotNumeric:
        showMessage(QStringLiteral("节点编码“%1”不是数字，无法生成新的编码！").arg(maxCode), MessageKind::Information);
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

std::optional<TreeNode> TreeCodeService::add(const TreeNode &node, Relation relation, const QString &name)
{
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        showMessage(problem, MessageKind::Information);
        return std::nullopt;
    }
    // The code is counted and stored under one write lock, so a second
    // workstation adding under the same parent cannot take the same code.
    DatabaseTransaction transaction(m_db);
    if (!transaction.isActive())
        return std::nullopt;
    const QString code = newCode(node, relation);
    if (code.isEmpty())
        return std::nullopt;
    const QString parentPath = relation == Relation::Child ? (node.isRoot() ? TreePath::rootPath() : node.path)
                                                           : TreePath::parentOf(node.path);
    const TreeNode added{int(code.size()), code, name, TreePath::childPath(parentPath, name)};
    QSqlQuery query(m_db.database());
    QString error;
    if (!run(query,
             SqlFragment(QStringLiteral("insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(?,?,?,?)"),
                         {added.code, added.name, added.path, m_flag}),
             &error)
        || !transaction.commit()) {
        reportFailure(error);
        return std::nullopt;
    }
    return added;
}

std::optional<TreeNode> TreeCodeService::rename(const TreeNode &node, const QString &newName)
{
    if (node.isRoot())
        return std::nullopt;
    if (const QString problem = nameProblem(newName); !problem.isEmpty()) {
        showMessage(problem, MessageKind::Information);
        return std::nullopt;
    }
    const QString newPath = TreePath::childPath(TreePath::parentOf(node.path), newName);
    DatabaseTransaction transaction(m_db);
    if (!transaction.isActive())
        return std::nullopt;
    QString error;
    if (!renameRows(node, newName, newPath, &error) || !transaction.commit()) {
        reportFailure(error);
        return std::nullopt;
    }
    TreeNode renamed = node;
    renamed.name = newName;
    renamed.path = newPath;
    return renamed;
}

bool TreeCodeService::anotherNodeHasPath(const TreeNode &node, bool *ok, QString *error)
{
    QSqlQuery query(m_db.database());
    *ok = run(query,
              SqlFragment(QStringLiteral("select count(*) from t_treecode where F_flag = ? and F_code <> ? and F_likecode = ?"),
                          {m_flag, node.code, node.path}),
              error);
    return *ok && query.next() && query.value(0).toLongLong() > 0;
}

bool TreeCodeService::renameRows(const TreeNode &node, const QString &newName, const QString &newPath, QString *error)
{
    const SqlDialect &dialect = m_db.dialect();
    const QString separator = TreePath::separator();
    // The engines count characters, not UTF-16 units.
    const int oldLength = int(node.path.toUcs4().size());
    // A path lies at or below the old one when, with a separator added, it
    // starts with the old path and a separator: exact text, so A never
    // matches AB and the letter case must agree.
    const auto atOrBelow = [&](const QString &column) {
        return SqlFragment(QStringLiteral("substr(%1, 1, ?) = ?").arg(dialect.concat({column, QStringLiteral("?")})),
                           {separator, oldLength + 1, node.path + separator});
    };
    const auto rebased = [&](const QString &column) {
        return SqlFragment(dialect.concat({QStringLiteral("?"), QStringLiteral("substr(%1, ?)").arg(column)}),
                           {newPath, oldLength + 1});
    };

    QSqlQuery query(m_db.database());
    if (!run(query,
             SqlFragment(QStringLiteral("update t_treecode set F_name = ?, F_likecode = ? where F_code = ? and F_flag = ?"),
                         {newName, newPath, node.code, m_flag}),
             error))
        return false;

    // A stored path that is not a node's path would make every path of the
    // tree look like its descendant.
    if (!node.path.startsWith(TreePath::rootPath()) || node.path.size() <= TreePath::rootPath().size())
        return true;

    // Descendants are found by code, so a same-named node elsewhere in the
    // tree keeps its children's paths.
    const SqlFragment descendants = SqlFragment::equals(QStringLiteral("F_flag"), m_flag)
                                    && dialect.startsWith(QStringLiteral("F_code"), node.code)
                                    && SqlFragment(dialect.length(QStringLiteral("F_code")) + QStringLiteral(" > ?"),
                                                   {int(node.code.size())})
                                    && atOrBelow(QStringLiteral("F_likecode"));
    if (!run(query,
             SqlFragment(QStringLiteral("update t_treecode set F_likecode = ")) + rebased(QStringLiteral("F_likecode"))
                 + SqlFragment::where(descendants),
             error))
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
               SqlFragment(QStringLiteral("update %1 set %2 = ").arg(records->table, records->column))
                   + rebased(records->column) + SqlFragment::where(atOrBelow(records->column)),
               error);
}

bool TreeCodeService::remove(const TreeNode &node)
{
    // An empty code would match every row of the tree.
    if (node.isRoot() || node.code.isEmpty())
        return false;
    return m_db.execute(SqlFragment(QStringLiteral("delete from t_treecode"))
                        + SqlFragment::where(m_db.dialect().startsWith(QStringLiteral("F_code"), node.code)
                                             && SqlFragment::equals(QStringLiteral("F_flag"), m_flag)));
}

} // namespace Quellon
