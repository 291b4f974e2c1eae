#include "interchange/ImportDialog.h"

#include "platform/Platform.h"

#include "ImportDialogTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace interchange {

namespace {

QString choiceText(const PlanEntry& entry)
{
    switch (entry.choice) {
    case Choice::Skip: return texts::kSkip;
    case Choice::Replace: return texts::kReplace;
    case Choice::KeepBoth: return texts::kKeepBothAs.arg(entry.keepBothKey);
    }
    return {};
}

QString recordText(const std::vector<QString>& fields)
{
    QStringList parts;
    for (const QString& field : fields)
        if (!field.isEmpty())
            parts.append(field.size() > 60 ? field.left(60) + QStringLiteral("…") : field);
    return parts.join(QStringLiteral(" | "));
}

} // namespace

PlanModel::PlanModel(ImportPlan& plan, QObject* parent) : QAbstractTableModel(parent), m_plan(plan)
{
    for (std::size_t t = 0; t < plan.tables.size(); ++t)
        for (std::size_t e = 0; e < plan.tables[t].entries.size(); ++e)
            m_rows.push_back({static_cast<int>(t), static_cast<int>(e)});
}

int PlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const PlanEntry* PlanModel::entryAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    const RowRef ref = m_rows[static_cast<std::size_t>(row)];
    return &m_plan.tables[static_cast<std::size_t>(ref.table)].entries[static_cast<std::size_t>(ref.entry)];
}

QVariant PlanModel::data(const QModelIndex& index, int role) const
{
    const PlanEntry* entry = entryAt(index.row());
    if (!entry || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const TablePlan& table = m_plan.tables[static_cast<std::size_t>(m_rows[static_cast<std::size_t>(index.row())].table)];
    switch (index.column()) {
    case TableColumn:
        return tableLabel(table.tableName);
    case WhereColumn:
        return QStringLiteral("%1 %2").arg(table.locationWord).arg(entry->location);
    case StateColumn:
        switch (entry->kind) {
        case EntryKind::Add: return texts::kAdd;
        case EntryKind::Conflict:
            return (entry->withEarlier ? texts::kConflictEarlier : texts::kConflictStored).arg(recordText(entry->existing));
        case EntryKind::Problem: return texts::kProblem;
        }
        return {};
    case RecordColumn:
        return entry->kind == EntryKind::Problem ? entry->message : recordText(entry->fields);
    case ChoiceColumn:
        return entry->kind == EntryKind::Conflict ? choiceText(*entry) : QString();
    case WarningColumn:
        return entry->warnings.join(QStringLiteral("; "));
    default:
        return {};
    }
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QString headers[ColumnCount] = {texts::kHeaderTable,  texts::kHeaderWhere,  texts::kHeaderState,
                                                 texts::kHeaderRecord, texts::kHeaderChoice, texts::kHeaderWarning};
    return section >= 0 && section < ColumnCount ? headers[section] : QVariant();
}

void PlanModel::choose(const QList<int>& rows, Choice choice)
{
    for (const int row : rows) {
        if (row < 0 || row >= static_cast<int>(m_rows.size()))
            continue;
        const RowRef ref = m_rows[static_cast<std::size_t>(row)];
        TablePlan& table = m_plan.tables[static_cast<std::size_t>(ref.table)];
        PlanEntry& entry = table.entries[static_cast<std::size_t>(ref.entry)];
        if (entry.kind != EntryKind::Conflict || (choice == Choice::KeepBoth && !table.keepBothAllowed))
            continue;
        entry.choice = choice;
        Q_EMIT dataChanged(index(row, ChoiceColumn), index(row, ChoiceColumn));
    }
}

void PlanModel::chooseForAll(Choice choice)
{
    m_plan.chooseForAll(choice);
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, ChoiceColumn), index(rowCount() - 1, ChoiceColumn));
}

ImportDialog::ImportDialog(ImportPlan& plan, QWidget* parent)
    : QDialog(parent), m_plan(plan), m_model(new PlanModel(plan, this)), m_view(new QTableView(this)),
      m_summary(new QLabel(this)), m_changedLabel(new QLabel(texts::kChangedValues, this)),
      m_changed(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ImportDialog"));
    // F1: the main window's help, which tells about importing.
    setProperty(platform::kHelpTopicProperty, 3);
    setWindowTitle(texts::kImportTitle);
    auto* layout = new QVBoxLayout(this);
    m_summary->setObjectName(QStringLiteral("LabelSouhrn"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    m_view->setObjectName(QStringLiteral("ImportPreview"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row heights: a preview of 100,000 records must not measure each one.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setColumnWidth(PlanModel::TableColumn, 170);
    m_view->setColumnWidth(PlanModel::WhereColumn, 90);
    m_view->setColumnWidth(PlanModel::StateColumn, 220);
    m_view->setColumnWidth(PlanModel::RecordColumn, 380);
    m_view->setColumnWidth(PlanModel::ChoiceColumn, 200);
    layout->addWidget(m_view, 1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(texts::kAllConflicts, this));
    auto* all = new QComboBox(this);
    all->setObjectName(QStringLiteral("ComboVsechnyKonflikty"));
    all->addItems({texts::kSkip, texts::kReplace, texts::kKeepBoth});
    connect(all, &QComboBox::activated, this, [this](int index) {
        m_model->chooseForAll(static_cast<Choice>(index));
    });
    choices->addWidget(all);
    choices->addSpacing(24);
    choices->addWidget(new QLabel(texts::kSelected, this));
    const std::pair<const char*, Choice> buttons[] = {
        {"ButtonPreskocit", Choice::Skip}, {"ButtonNahradit", Choice::Replace}, {"ButtonPonechatOboji", Choice::KeepBoth}};
    for (const auto& [name, choice] : buttons) {
        auto* button = new QPushButton(choice == Choice::Skip      ? texts::kSkip
                                       : choice == Choice::Replace ? texts::kReplace
                                                                   : texts::kKeepBoth,
                                       this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, c = choice] { chooseSelected(c); });
        choices->addWidget(button);
    }
    choices->addStretch(1);
    layout->addLayout(choices);

    // The values that do not fit, readable before the user confirms; a choice
    // that takes a record in or out changes them.
    layout->addWidget(m_changedLabel);
    m_changed->setObjectName(QStringLiteral("MemoZkracene"));
    m_changed->setReadOnly(true);
    m_changed->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_changed->setMaximumHeight(m_changed->fontMetrics().height() * 7);
    layout->addWidget(m_changed);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { updateSummary(); });

    QStringList notes;
    for (const TablePlan& table : plan.tables) {
        if (table.skipped)
            notes.append(texts::kSkippedTable.arg(tableLabel(table.tableName), table.skipReason));
        for (const QString& note : table.notes)
            notes.append(tableLabel(table.tableName) + QStringLiteral(": ") + note);
    }
    if (!notes.isEmpty()) {
        layout->addWidget(new QLabel(texts::kNotes, this));
        auto* list = new QPlainTextEdit(notes.join(QLatin1Char('\n')), this);
        list->setObjectName(QStringLiteral("MemoPoznamky"));
        list->setReadOnly(true);
        list->setMaximumHeight(list->fontMetrics().height() * 6);
        layout->addWidget(list);
    }

    auto* box = new QDialogButtonBox(this);
    QPushButton* import = box->addButton(texts::kImportButton, QDialogButtonBox::AcceptRole);
    import->setObjectName(QStringLiteral("ButtonImportovat"));
    import->setEnabled(!plan.empty());
    QPushButton* cancel = box->addButton(texts::kCancelButton, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonZrusit"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    updateSummary();
    resize(1150, 620);
}

void ImportDialog::chooseSelected(Choice choice)
{
    QList<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        rows.append(index.row());
    m_model->choose(rows, choice);
}

void ImportDialog::updateSummary()
{
    m_summary->setText(texts::kSummary.arg(m_plan.description)
                           .arg(m_plan.count(EntryKind::Add))
                           .arg(m_plan.count(EntryKind::Conflict))
                           .arg(m_plan.count(EntryKind::Problem))
                           .arg(m_plan.changedValueCount()));
    const QStringList changed = m_plan.changedValues();
    m_changed->setPlainText(changed.join(QLatin1Char('\n')));
    m_changedLabel->setVisible(!changed.isEmpty());
    m_changed->setVisible(!changed.isEmpty());
}

} // namespace interchange
