#include "DataGrid.h"

#include "GridFooter.h"
#include "GridModel.h"
#include "Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace Quellon {

DataGrid::DataGrid(Database &dm, QWidget *parent) : QWidget(parent)
{
    m_model = new GridModel(dm, this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("gridView"));
    // A current row that leaves the list hands over to the row that moves up
    // into its place, or to the one above when it was the last. Connected
    // before the view's selection model is, which would otherwise step back a
    // row first.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid() && current.row() >= first && current.row() <= last && last + 1 < m_model->rowCount())
            m_view->setCurrentIndex(m_model->index(last + 1, current.column()));
    });
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setAlternatingRowColors(true);
    // Rows of one height let the view place any of 200,000 rows without
    // measuring the others.
    QHeaderView *rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->hide();
    QHeaderView *titles = m_view->horizontalHeader();
    titles->setSectionsMovable(true);
    titles->setHighlightSections(false);
    titles->setSortIndicatorShown(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStretchLastSection(false);
    m_view->setSortingEnabled(false);
    m_view->installEventFilter(this);

    m_footer = new GridFooter(m_view, m_model, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);

    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(1500);
    connect(&m_searchPause, &QTimer::timeout, this, [this] { m_search.clear(); });

    connect(titles, &QHeaderView::sectionClicked, this, &DataGrid::titleClicked);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_keptKey = currentKey();
        const QModelIndex current = m_view->currentIndex();
        m_keptColumn = current.isValid() ? current.column() : 0;
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::restoreCurrent);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { emit currentKeyChanged(m_model->keyAt(current.row())); });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowActivated(m_model->keyAt(index.row())); });
    // Rows are read while the view paints; a message box opened there would
    // run its own event loop in the middle of the paint. It waits for the
    // event loop instead.
    connect(
        m_model, &GridModel::readFailed, this, [](const QString &message) { showMessage(message, MessageKind::Error); },
        Qt::QueuedConnection);
}

void DataGrid::setColumns(const GridColumns &columns)
{
    m_model->setColumns(columns);
    QHeaderView *titles = m_view->horizontalHeader();
    // Screen order starts again from the new column order.
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (logical != visual)
            titles->moveSection(titles->visualIndex(visual), visual);
    }
    for (int i = 0; i < columns.size(); ++i) {
        m_view->setColumnWidth(i, columns.at(i).width);
        m_view->setColumnHidden(i, !columns.at(i).visible);
    }
    m_markerColumn = -1;
    titles->setSortIndicatorShown(false);
    m_footer->setVisible(std::any_of(columns.cbegin(), columns.cend(),
                                     [](const GridColumn &c) { return c.footer != GridColumn::FooterNone; }));
}

GridColumns DataGrid::columns() const
{
    GridColumns result;
    const QHeaderView *titles = m_view->horizontalHeader();
    const GridColumns &designed = m_model->columns();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        GridColumn c = designed.at(logical);
        c.visible = !titles->isSectionHidden(logical);
        if (c.visible)
            c.width = titles->sectionSize(logical);
        result << c;
    }
    return result;
}

void DataGrid::setColumnVisible(int column, bool visible)
{
    m_view->setColumnHidden(column, !visible);
    if (visible && m_view->columnWidth(column) == 0)
        m_view->setColumnWidth(column, m_model->columns().value(column).width);
}

bool DataGrid::setQuery(const GridQuery &query)
{
    return m_model->setQuery(query);
}

void DataGrid::requestQuery(const GridQuery &query)
{
    m_model->requestQuery(query);
}

bool DataGrid::refresh()
{
    return m_model->reload();
}

void DataGrid::setMultiSelect(bool enabled)
{
    m_view->setSelectionMode(enabled ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool DataGrid::setSortText(const QString &text)
{
    return m_model->setSort(GridQuery::parseSort(text));
}

void DataGrid::titleClicked(int column)
{
    if (!m_titleSort || !m_model->isOpen() || column < 0 || column >= m_model->columnCount())
        return;
    m_markerAscending = !(column == m_markerColumn && m_markerAscending);
    m_markerColumn = column;
    QHeaderView *titles = m_view->horizontalHeader();
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(column, m_markerAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    const GridColumn &c = m_model->columns().at(column);
    // A column whose cells are masked only marks: ordering by the hidden
    // values would tell the operator something about them.
    if (!c.sortable() || m_model->isColumnMasked(column))
        return;
    m_model->setSort({{c.field, m_markerAscending}});
}

int DataGrid::currentRow() const
{
    return m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
}

qint64 DataGrid::currentKey() const
{
    return m_model->keyAt(currentRow());
}

bool DataGrid::setCurrentKey(qint64 key)
{
    const int row = m_model->rowOfKey(key);
    if (row < 0)
        return false;
    const QModelIndex current = m_view->currentIndex();
    m_view->setCurrentIndex(m_model->index(row, current.isValid() ? current.column() : 0));
    m_view->scrollTo(m_view->currentIndex());
    return true;
}

QList<qint64> DataGrid::selectedKeys() const
{
    QList<qint64> keys;
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    for (const QModelIndex &index : rows)
        keys << m_model->keyAt(index.row());
    return keys;
}

QString DataGrid::selectedText() const
{
    // Rows from the selection's ranges rather than selectedRows(), which
    // looks at every cell of every row: a whole list may be selected.
    QList<int> rows;
    const QItemSelection selection = m_view->selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() && m_view->currentIndex().isValid())
        rows << m_view->currentIndex().row();

    const QHeaderView *titles = m_view->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (!titles->isSectionHidden(logical))
            columns << logical;
    }
    QStringList lines;
    lines.reserve(rows.size());
    QStringList cells;
    for (int row : std::as_const(rows)) {
        cells.clear();
        for (int column : std::as_const(columns)) {
            QString text = m_model->data(m_model->index(row, column), Qt::DisplayRole).toString();
            // A memo's own tabs and line breaks would split it across cells
            // and rows where it is pasted.
            for (QChar &c : text) {
                if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                    c = QLatin1Char(' ');
            }
            cells << text;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void DataGrid::copySelection() const
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(selectedText());
}

void DataGrid::restoreCurrent()
{
    if (m_model->rowCount() == 0) {
        emit currentKeyChanged(-1);
        return;
    }
    int row = m_keptKey >= 0 ? m_model->rowOfKey(m_keptKey) : -1;
    if (row < 0)
        row = 0;
    const int column = qBound(0, m_keptColumn, m_model->columnCount() - 1);
    m_view->setCurrentIndex(m_model->index(row, column));
    m_view->scrollTo(m_view->currentIndex());
}

void DataGrid::search(const QString &text)
{
    m_search = text;
    m_searchPause.start();
    if (m_search.isEmpty())
        return;
    const QModelIndex current = m_view->currentIndex();
    int column = current.isValid() ? current.column() : 0;
    if (m_view->isColumnHidden(column))
        column = m_view->horizontalHeader()->logicalIndex(0);
    const int row = m_model->findPrefix(column, m_search);
    if (row >= 0) {
        m_view->setCurrentIndex(m_model->index(row, column));
        m_view->scrollTo(m_view->currentIndex());
    }
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    // Copying is the grid's, even where a window has a shortcut of its own on the keys.
    if (watched == m_view && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (currentRow() >= 0)
                emit rowActivated(currentKey());
            return true;
        }
        // The view's own copy takes the current cell alone.
        if (key->matches(QKeySequence::Copy)) {
            copySelection();
            return true;
        }
        if (key->key() == Qt::Key_Backspace && !m_search.isEmpty()) {
            search(m_search.chopped(1));
            return true;
        }
        const QString text = key->text();
        // Typing searches the current column in the database; the view's own
        // search would read every row to compare them.
        if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            search(m_search + text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Quellon
