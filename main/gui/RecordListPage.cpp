#include "RecordListPage.h"

#include "ColumnMasking.h"
#include "DataGrid.h"
#include "Database.h"
#include "GridLayoutStore.h"
#include "GridModel.h"
#include "Messages.h"
#include "RecordActions.h"
#include "SearchValues.h"
#include "TreeIcons.h"
#include "TreeLoader.h"
#include "TreeNodeItem.h"
#include "TreePath.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace Quellon {

namespace {
// Typing runs the list again; a short pause lets a fast typist finish a word
// before a list of 200,000 houses is searched for each of its letters.
constexpr int SearchPauseMs = 150;
} // namespace

RecordListPage::RecordListPage(Database &db, RecordPageConfig config, QWidget *parent)
    : QWidget(parent), m_db(db), m_config(std::move(config))
{
    setObjectName(m_config.kind + QStringLiteral("Page"));
    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(SearchPauseMs);
    connect(&m_searchPause, &QTimer::timeout, this, &RecordListPage::runQuery);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(m_config.kind + QStringLiteral("Tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { treeActivated(item); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem *current, QTreeWidgetItem *previous) {
        // The picture of a node follows its selection.
        if (previous)
            TreeIcons::refresh(previous);
        if (current)
            TreeIcons::refresh(current);
    });

    m_grid = new DataGrid(db, this);
    m_grid->setObjectName(m_config.kind + QStringLiteral("Grid"));
    m_grid->setTitleClickSort(true);
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(m_config.kind + QStringLiteral("CountLabel"));
    m_countLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_grid->model(), &GridModel::reloaded, this, [this] {
        m_countLabel->setText(m_config.countText.arg(m_grid->model()->rowCount()));
        emit rowCountChanged(m_grid->model()->rowCount());
    });
    connect(m_grid->model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        m_countLabel->setText(m_config.countText.arg(m_grid->model()->rowCount()));
    });
    connect(m_grid, &DataGrid::currentKeyChanged, this, &RecordListPage::currentChanged);
    connect(m_grid, &DataGrid::rowActivated, this, [this] { emit editRequested(); });

    auto *listArea = new QWidget(this);
    auto *listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(2);
    listLayout->addWidget(m_grid, 1);
    listLayout->addWidget(m_countLabel);

    auto *rightSplitter = new QSplitter(Qt::Vertical, this);
    rightSplitter->addWidget(listArea);
    rightSplitter->addWidget(buildDetailArea());
    rightSplitter->setStretchFactor(0, 3);
    rightSplitter->setStretchFactor(1, 2);

    m_treeSplitter = new QSplitter(Qt::Horizontal, this);
    m_treeSplitter->addWidget(m_tree);
    m_treeSplitter->addWidget(rightSplitter);
    m_treeSplitter->setStretchFactor(0, 1);
    m_treeSplitter->setStretchFactor(1, 4);
    m_treeSplitter->setSizes({200, 800});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildSearchBar());
    layout->addWidget(m_treeSplitter, 1);
}

QWidget *RecordListPage::buildSearchBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    m_fieldCombo = new QComboBox(bar);
    m_fieldCombo->setObjectName(m_config.kind + QStringLiteral("FieldCombo"));
    m_fieldCombo->setMinimumWidth(110);
    auto *fieldLabel = new QLabel(QStringLiteral("搜索(&V)"), bar);
    fieldLabel->setBuddy(m_fieldCombo);
    connect(m_fieldCombo, &QComboBox::currentIndexChanged, this, &RecordListPage::fieldChanged);

    m_textEdit = new QLineEdit(bar);
    m_textEdit->setObjectName(m_config.kind + QStringLiteral("SearchEdit"));
    m_textEdit->setClearButtonEnabled(true);
    connect(m_textEdit, &QLineEdit::textChanged, this, &RecordListPage::searchChanged);
    m_valueCombo = new QComboBox(bar);
    m_valueCombo->setObjectName(m_config.kind + QStringLiteral("ValueCombo"));
    connect(m_valueCombo, &QComboBox::currentTextChanged, this, &RecordListPage::searchChanged);
    // Delete belongs to the search bar while it has the focus: it never
    // reaches the window's delete command from there.
    m_fieldCombo->installEventFilter(this);
    m_valueCombo->installEventFilter(this);
    m_valueStack = new QStackedWidget(bar);
    m_valueStack->addWidget(m_textEdit);
    m_valueStack->addWidget(m_valueCombo);
    m_valueStack->setMinimumWidth(160);
    m_valueStack->setMaximumHeight(m_textEdit->sizeHint().height() + 4);
    auto *valueLabel = new QLabel(QStringLiteral("值(&V)"), bar);
    valueLabel->setBuddy(m_textEdit);

    auto *find = new QPushButton(QStringLiteral("查找(F3)"), bar);
    find->setObjectName(m_config.kind + QStringLiteral("FindButton"));
    find->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, &RecordListPage::runQuery);
    auto *findKey = new QShortcut(QKeySequence(Qt::Key_F3), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(findKey, &QShortcut::activated, this, &RecordListPage::runQuery);

    m_transactionGroup = new QButtonGroup(bar);
    auto *radios = new QHBoxLayout;
    for (int i = 0; i < m_config.transactionCaptions.size(); ++i) {
        auto *radio = new QRadioButton(m_config.transactionCaptions.at(i), bar);
        radio->setObjectName(m_config.kind + QStringLiteral("Transaction%1").arg(i));
        m_transactionGroup->addButton(radio, i);
        radios->addWidget(radio);
        if (i == 0)
            radio->setChecked(true);
    }
    connect(m_transactionGroup, &QButtonGroup::idClicked, this, &RecordListPage::runQuery);

    m_treeButton = new QToolButton(bar);
    m_treeButton->setObjectName(m_config.kind + QStringLiteral("TreeButton"));
    m_treeButton->setText(QStringLiteral("导航树"));
    m_treeButton->setToolTip(QStringLiteral("显示或隐藏导航树"));
    connect(m_treeButton, &QToolButton::clicked, this, &RecordListPage::treeToggleRequested);

    m_advancedButton = new QPushButton(QStringLiteral("高级查找..."), bar);
    m_advancedButton->setObjectName(m_config.kind + QStringLiteral("AdvancedButton"));
    m_advancedButton->setCheckable(true);
    m_advancedButton->setAutoDefault(false);
    // The query dialog comes with a later version; the toggle waits for it.
    m_advancedButton->setEnabled(false);
    m_advancedButton->setToolTip(QStringLiteral("高级查找将在后续版本中提供"));

    row->addWidget(fieldLabel);
    row->addWidget(m_fieldCombo);
    row->addWidget(valueLabel);
    row->addWidget(m_valueStack);
    row->addWidget(find);
    row->addSpacing(12);
    row->addLayout(radios);
    row->addStretch();
    row->addWidget(m_treeButton);
    row->addWidget(m_advancedButton);
    return bar;
}

QWidget *RecordListPage::buildFieldTab(const RecordPageConfig::DetailTab &tab)
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    int row = 0;
    int column = 0;
    for (const RecordPageConfig::Field &field : tab.fields) {
        auto *label = new QLabel(field.caption, page);
        QWidget *editor;
        // Read-only views: changes go through the edit window with its checks.
        if (field.multiLine) {
            auto *memo = new QPlainTextEdit(page);
            memo->setReadOnly(true);
            memo->setMaximumHeight(60);
            editor = memo;
        } else {
            auto *edit = new QLineEdit(page);
            edit->setReadOnly(true);
            editor = edit;
        }
        editor->setObjectName(m_config.kind + QStringLiteral("Detail_") + field.column);
        m_fieldEditors.insert(field.column.toLower(), editor);
        if (field.multiLine) {
            if (column != 0) {
                ++row;
                column = 0;
            }
            grid->addWidget(label, row, 0);
            grid->addWidget(editor, row, 1, 1, 5);
            ++row;
            continue;
        }
        grid->addWidget(label, row, column * 2);
        grid->addWidget(editor, row, column * 2 + 1);
        if (++column == 3) {
            column = 0;
            ++row;
        }
    }
    grid->setRowStretch(row + 1, 1);
    for (int c = 1; c < 6; c += 2)
        grid->setColumnStretch(c, 1);
    return page;
}

QWidget *RecordListPage::buildDetailArea()
{
    auto *area = new QWidget(this);
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_detailList = new QListWidget(area);
    m_detailList->setObjectName(m_config.kind + QStringLiteral("DetailList"));
    m_detailList->setMaximumWidth(110);
    m_detailStack = new QStackedWidget(area);
    for (int i = 0; i < m_config.detailTabs.size(); ++i) {
        const RecordPageConfig::DetailTab &tab = m_config.detailTabs.at(i);
        m_detailList->addItem(tab.entry);
        if (!tab.fields.isEmpty()) {
            m_detailStack->addWidget(buildFieldTab(tab));
        } else if (tab.gridQuery) {
            auto *grid = new DataGrid(m_db, m_detailStack);
            grid->setObjectName(m_config.kind + QStringLiteral("DetailGrid%1").arg(i));
            grid->setMultiSelect(tab.multiSelect);
            grid->setTitleClickSort(true);
            m_detailGrids.insert(i, grid);
            m_detailStack->addWidget(grid);
        } else {
            auto *later = new QLabel(QStringLiteral("图片浏览将在后续版本中提供。"), m_detailStack);
            later->setAlignment(Qt::AlignCenter);
            m_detailStack->addWidget(later);
        }
    }
    connect(m_detailList, &QListWidget::currentRowChanged, this, &RecordListPage::showDetailEntry);
    layout->addWidget(m_detailList);
    layout->addWidget(m_detailStack, 1);
    return area;
}

QList<DataGrid *> RecordListPage::detailGrids() const
{
    return m_detailGrids.values();
}

DataGrid *RecordListPage::currentDetailGrid() const
{
    return m_detailGrids.value(m_detailEntry);
}

void RecordListPage::applySession(const LoginSession &session)
{
    m_session = session;
    // Other salespersons' contact data stays hidden in every grid of the page.
    ColumnMasking masking;
    masking.enabled = session.masked;
    masking.operatorName = session.operatorName;
    masking.maskedFields = m_config.maskedFields();
    m_grid->model()->setMasking(masking);
    for (auto it = m_detailGrids.cbegin(); it != m_detailGrids.cend(); ++it) {
        ColumnMasking detail = masking;
        detail.maskedFields = m_config.detailTabs.at(it.key()).maskedFields;
        detail.salespersonField = QStringLiteral("F_empName");
        it.value()->model()->setMasking(detail);
    }
    m_offered = m_config.offeredFields(session);
    {
        m_filling = true;
        const int previous = m_fieldCombo->currentData().toInt();
        m_fieldCombo->clear();
        const QList<SearchField> &fields = m_config.searchFields();
        for (int index : std::as_const(m_offered))
            m_fieldCombo->addItem(fields.at(index).caption, index);
        const int keep = m_fieldCombo->findData(previous);
        m_fieldCombo->setCurrentIndex(keep >= 0 ? keep : 0);
        m_filling = false;
    }
    fieldChanged();

    const QString selectedPath = TreeNodeItem::data(m_tree->currentItem()).path;
    QTreeWidgetItem *root = TreeLoader::load(m_tree, m_config.treeRootCaption, m_config.treeFlag, m_db);
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    // The node chosen before stays chosen when it still exists.
    if (!selectedPath.isEmpty() && selectedPath != TreePath::rootPath()) {
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
            if (TreeNodeItem::data(*it).path == selectedPath) {
                m_tree->setCurrentItem(*it);
                break;
            }
        }
    }
    runQuery();
}

void RecordListPage::loadLayouts()
{
    GridLayoutStore store(m_db);
    const GridColumns columns = store.load(m_config.gridLayout);
    if (!columns.isEmpty())
        m_grid->setColumns(GridLayoutStore::withNumberFormats(columns, m_session.amountFormat, m_session.priceFormat,
                                                               m_session.valueFormat));
    for (auto it = m_detailGrids.cbegin(); it != m_detailGrids.cend(); ++it) {
        const GridColumns detail = store.load(m_config.detailTabs.at(it.key()).gridLayout);
        if (!detail.isEmpty())
            it.value()->setColumns(detail);
    }
}

void RecordListPage::fieldChanged()
{
    if (m_filling)
        return;
    const int index = m_fieldCombo->currentData().toInt();
    const QList<SearchField> &fields = m_config.searchFields();
    m_filling = true;
    m_textEdit->clear();
    m_valueCombo->clear();
    if (index >= 0 && index < fields.size() && fields.at(index).input != SearchField::TextBox) {
        m_valueCombo->addItem(QString());
        m_valueCombo->addItems(SearchValues::values(m_db, fields.at(index), m_session));
        m_valueStack->setCurrentWidget(m_valueCombo);
    } else {
        m_valueStack->setCurrentWidget(m_textEdit);
    }
    m_filling = false;
    searchChanged();
}

void RecordListPage::searchChanged()
{
    if (m_filling || !m_session.isValid())
        return;
    m_searchPause.start();
}

ListSearch RecordListPage::searchState() const
{
    ListSearch search;
    search.field = m_fieldCombo->currentIndex() >= 0 ? m_fieldCombo->currentData().toInt() : -1;
    search.text = m_textEdit->text().trimmed();
    search.value = m_valueCombo->currentText().trimmed();
    search.treePath = TreeNodeItem::data(m_tree->currentItem()).path;
    search.transaction = qMax(0, m_transactionGroup->checkedId());
    return search;
}

void RecordListPage::runQuery()
{
    if (!m_session.isValid())
        return;
    m_searchPause.stop();
    // The list is read away from the typing: a newer keystroke overtakes a
    // search still running on a large office's houses.
    m_grid->requestQuery(m_config.listQuery(searchState(), m_session, m_db.dialect()));
}

void RecordListPage::refresh()
{
    if (m_grid->model()->query().isEmpty())
        runQuery();
    else
        m_grid->refresh();
    refreshDetail();
}

void RecordListPage::treeActivated(QTreeWidgetItem *item)
{
    if (!item)
        return;
    m_tree->setCurrentItem(item);
    runQuery();
}

bool RecordListPage::isTreeShown() const
{
    return m_tree->isVisibleTo(this);
}

void RecordListPage::setTreeShown(bool shown)
{
    m_tree->setVisible(shown);
}

qint64 RecordListPage::currentKey() const
{
    return m_grid->currentKey();
}

int RecordListPage::rowCount() const
{
    return m_grid->model()->rowCount();
}

void RecordListPage::currentChanged(qint64 key)
{
    loadCurrentRecord(key);
    refreshDetail();
}

void RecordListPage::loadCurrentRecord(qint64 key)
{
    m_current.clear();
    if (key >= 0) {
        QSqlQuery q;
        q.setForwardOnly(true);
        // The table name comes from the page's configuration, never from input.
        if (m_db.tryQuery(SqlFragment(QStringLiteral("select * from %1 where F_ID = ?").arg(m_config.table), {key}), q)
            && q.next()) {
            const QSqlRecord record = q.record();
            for (int i = 0; i < record.count(); ++i)
                m_current.insert(record.fieldName(i).toLower(), q.value(i));
        }
    }
    for (auto it = m_fieldEditors.cbegin(); it != m_fieldEditors.cend(); ++it) {
        const QString text = shownValue(it.key());
        if (auto *edit = qobject_cast<QLineEdit *>(it.value())) {
            edit->setText(text);
            edit->setCursorPosition(0);
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(it.value())) {
            memo->setPlainText(text);
        }
    }
}

QString RecordListPage::shownValue(const QString &column) const
{
    const QVariant stored = m_current.value(column.toLower());
    QString text = stored.toString();
    // Dates show as yyyy-MM-dd, the unset date as nothing.
    if (column.contains(QLatin1String("date"), Qt::CaseInsensitive))
        text = SqlDialect::displayDate(stored);
    else if (stored.typeId() == QMetaType::Double)
        text = QString::number(stored.toDouble(), 'f', stored.toDouble() == qRound64(stored.toDouble()) ? 0 : 2);
    const QStringList masked = m_config.maskedFields();
    for (const QString &field : masked) {
        if (field.compare(column, Qt::CaseInsensitive) == 0)
            return m_session.maskContact(m_current.value(QStringLiteral("f_empname")).toString(), text);
    }
    return text;
}

void RecordListPage::showDetailEntry(int entry)
{
    if (entry < 0 || entry >= m_config.detailTabs.size())
        entry = 0;
    m_detailEntry = entry;
    m_detailStack->setCurrentIndex(entry);
    if (m_detailList->currentRow() != entry)
        m_detailList->setCurrentRow(entry);
    refreshDetail();
    emit detailEntryChanged(entry);
}

void RecordListPage::refreshDetail()
{
    // Only the grid shown follows the current record; the others catch up
    // when they are shown.
    DataGrid *grid = m_detailGrids.value(m_detailEntry);
    if (!grid)
        return;
    const qint64 mainId = m_current.value(QStringLiteral("f_mainid")).toLongLong();
    grid->setQuery(m_config.detailTabs.at(m_detailEntry).gridQuery(mainId));
}

bool RecordListPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && (watched == m_fieldCombo || watched == m_valueCombo)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RecordListPage::deleteCurrent()
{
    const qint64 key = currentKey();
    if (rowCount() == 0 || key < 0)
        return;
    const RecordActions actions(m_config.actions);
    const QString refusal = actions.deleteRefusal(m_session, m_current.value(QStringLiteral("f_empname")).toString());
    if (!refusal.isEmpty()) {
        showMessage(refusal, MessageKind::Information);
        return;
    }
    const QString name = m_current.value(m_config.nameColumn.toLower()).toString();
    if (!confirm(actions.deleteQuestion(name)))
        return;
    if (actions.moveToRecycleBin(m_db, key))
        refresh();
}

} // namespace Quellon
