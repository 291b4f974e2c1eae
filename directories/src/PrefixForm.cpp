#include "directories/PrefixForm.h"

#include "DirectorySupport.h"
#include "ToolbarTexts.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/RecordToolbar.h"
#include "widgets/SpeedButton.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace directories {

namespace {

widgets::RecordToolbarSettings editingSettings(const PrefixSettings& settings)
{
    widgets::RecordToolbarSettings editing = toolButtonEditing(settings.duplicateMessage, settings.keyField);
    // Unlike the other toolbars, all four buttons start enabled, and a change
    // typed into a cell does not turn Save and Discard on.
    editing.startEditing = true;
    editing.editTurnsOn = false;
    return editing;
}

} // namespace

PrefixForm::PrefixForm(store::Database& database, const PrefixSettings& settings)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_database(database), m_settings(settings),
      m_table(std::make_unique<store::Cursor>(database, settings.table))
{
    setObjectName(QString::fromLatin1(settings.className));
    setWindowTitle(settings.caption);
    setHelpTopic(this, kHelpPrefixes);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    HledEdit = new QLineEdit(toolbar);
    HledEdit->setObjectName(QStringLiteral("HledEdit"));
    HledEdit->setToolTip(texts::kHintHledani);
    HledEdit->setStatusTip(texts::kHintHledani);
    HledEdit->setValidator(new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Upper, HledEdit));
    HledEdit->setMinimumWidth(180);
    connect(HledEdit, &QLineEdit::textChanged, this, [this] { HledEditChange(); });
    toolbar->addWidget(HledEdit);
    toolbar->addSeparator();
    DBGrid = new widgets::DBGrid(this);
    m_editing = std::make_unique<widgets::RecordToolbar>(this, *m_table, editingSettings(settings),
                                                         widgets::gridEditors(DBGrid));
    for (QToolButton* button : m_editing->buttons())
        toolbar->addWidget(button);
    toolbar->addSeparator();
    m_backButton = widgets::speedButton(toolbar, settings.backButtonName, texts::kHintZpet, QStringLiteral("↩"),
                                        QColor(0, 0, 128));
    connect(m_backButton, &QToolButton::clicked, this, [this] { ZpetClick(); });
    toolbar->addWidget(m_backButton);
    column->addWidget(toolbar);

    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setDataSet(m_table.get(), {{QString::fromStdString(settings.keyField), QString(), 240},
                                       {QString::fromStdString(settings.prefixField), QString(), 110}});
    // Column titles in white on black.
    DBGrid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: black; color: white; padding: 2px; }"));
    column->addWidget(DBGrid, 1);

    resize(420, 440);
    HledEdit->setFocus();
}

PrefixForm::~PrefixForm()
{
    // The grid observes the cursor, so it goes first.
    delete DBGrid;
}

void PrefixForm::FormCreate()
{
    m_table->close();
    m_database.registerPassword(store::dataTablesPassword());
    m_table->open();
    HledEdit->setFocus();
}

void PrefixForm::HledEditChange()
{
    widgets::guarded([&] {
        findNearestOrFirst(*m_table, HledEdit->text().toStdString());
    });
}

void PrefixForm::ZpetClick()
{
    if (!m_editing->finishBeforeLeaving())
        return;
    HledEdit->setFocus();
    if (HledEdit->text().isEmpty())
        HledEditChange(); // clearing an empty field would not move to the first record
    else
        HledEdit->clear();
    hide();
}

} // namespace directories
