#include "directories/CodeDirectoryForm.h"

#include "CodeDirectoryTexts.h"
#include "DirectorySupport.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/RecordToolbar.h"
#include "widgets/SpeedButton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace directories {

namespace {

const QColor kMaroon(128, 0, 0);

// The toolbar beeps instead of sounding tones, and drops a duplicate with the
// window's message, which tells the user so.
widgets::RecordToolbarSettings editingSettings(const CodeDirectorySettings& settings)
{
    widgets::RecordToolbarSettings editing;
    editing.insertHint = texts::kHintVloz;
    editing.deleteHint = texts::kHintSmaz;
    editing.saveHint = texts::kHintPotvrd;
    editing.discardHint = texts::kHintZrus;
    editing.sounds = widgets::ToolbarSounds::Beeps;
    editing.dropDuplicate = true;
    editing.duplicateMessage = settings.duplicateMessage;
    editing.deleteQuestion = settings.deleteQuestion;
    editing.keyField = settings.keyField;
    return editing;
}

widgets::DBGrid* makeGrid(QWidget* parent, const char* name)
{
    auto* grid = new widgets::DBGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    QHeaderView* titles = grid->horizontalHeader();
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    titles->setDefaultAlignment(Qt::AlignCenter);
    return grid;
}

QToolButton* toggleButton(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(56);
    return button;
}

} // namespace

CodeDirectoryForm::CodeDirectoryForm(store::Database& database, const CodeDirectorySettings& settings)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_database(database), m_settings(settings),
      m_table(std::make_unique<store::Cursor>(database, settings.table))
{
    setObjectName(QString::fromLatin1(settings.className));
    setWindowTitle(settings.caption);
    setHelpTopic(this, kHelpCodeDirectories);
    if (settings.postOffice)
        m_postOffice = std::make_unique<store::Query>(database);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    QWidget* grids = createGrids();
    m_editing = std::make_unique<widgets::RecordToolbar>(this, *m_table, editingSettings(settings),
                                                         widgets::gridEditors(m_keyGrid, {DBGridZmena}));
    column->addWidget(createFirstRow());
    column->addWidget(createSecondRow());
    column->addWidget(grids, 1);
    // The grids were made before the toolbar that acts on them: they still
    // come after the search field in the order of the Tab key.
    setTabOrder(EditHled, m_keyGrid);
    setTabOrder(m_keyGrid, DBGridZmena);

    m_afterPost = m_table->afterPost.connect([this] { refreshRecordCount(); });
    m_afterDelete = m_table->afterDelete.connect([this] { refreshRecordCount(); });
    resize(480, 520);
    EditHled->setFocus();
}

CodeDirectoryForm::~CodeDirectoryForm()
{
    m_table->afterPost.disconnect(m_afterPost);
    m_table->afterDelete.disconnect(m_afterDelete);
    // The grids observe the cursor and the selection, so they go first.
    delete m_keyGrid;
    delete DBGridZmena;
}

QWidget* CodeDirectoryForm::createFirstRow()
{
    m_firstRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_firstRow);
    row->setContentsMargins(0, 0, 0, 0);
    BlabelRazeni = new QLabel(m_settings.byKeyLabel, m_firstRow);
    BlabelRazeni->setObjectName(QStringLiteral("BlabelRazeni"));
    QFont bold = BlabelRazeni->font();
    bold.setBold(true);
    BlabelRazeni->setFont(bold);
    widgets::setTextColour(BlabelRazeni, Qt::black);
    LabelPocetZaznamu = new QLabel(m_firstRow);
    LabelPocetZaznamu->setObjectName(QStringLiteral("LabelPocetZaznamu"));
    widgets::setTextColour(LabelPocetZaznamu, kMaroon);
    SpeedButtonIndex = toggleButton(m_firstRow, "SpeedButtonIndex", texts::kZmena, texts::kHintZmena);
    connect(SpeedButtonIndex, &QToolButton::clicked, this, [this] { SpeedButtonIndexClick(); });
    row->addWidget(BlabelRazeni);
    row->addWidget(LabelPocetZaznamu);
    row->addSpacing(12);
    row->addWidget(SpeedButtonIndex);
    row->addStretch(1);
    return m_firstRow;
}

void CodeDirectoryForm::addToFirstRow(QWidget* widget)
{
    m_firstRow->layout()->addWidget(widget);
}

QWidget* CodeDirectoryForm::createSecondRow()
{
    auto* holder = new QWidget(this);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    EditHled = new QLineEdit(holder);
    EditHled->setObjectName(QStringLiteral("EditHled"));
    QFont bold = EditHled->font();
    bold.setBold(true);
    EditHled->setFont(bold);
    EditHled->setValidator(new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Upper, EditHled));
    connect(EditHled, &QLineEdit::textChanged, this, [this] { EditHledChange(); });
    row->addWidget(EditHled, 1);

    for (QToolButton* button : m_editing->buttons())
        row->addWidget(button);

    if (m_settings.postOffice) {
        SpeedButtonVyber = toggleButton(holder, "SpeedButtonVyber", texts::kPosta, texts::kHintPosta);
        connect(SpeedButtonVyber, &QToolButton::clicked, this, [this] { SpeedButtonVyberClick(); });
        row->addWidget(SpeedButtonVyber);
    }
    m_backButton = new QPushButton(texts::kZpet, holder);
    m_backButton->setObjectName(QString::fromLatin1(m_settings.backButtonName));
    m_backButton->setFocusPolicy(Qt::NoFocus);
    connect(m_backButton, &QPushButton::clicked, this, [this] { ZpetClick(); });
    row->addWidget(m_backButton);
    return holder;
}

QWidget* CodeDirectoryForm::createGrids()
{
    // Both grids lie in one place; the code grid covers the other while shown.
    auto* holder = new QWidget(this);
    auto* stack = new QGridLayout(holder);
    stack->setContentsMargins(0, 0, 0, 0);
    m_keyGrid = makeGrid(holder, m_settings.keyGridName);
    m_keyGrid->setDataSet(m_table.get(), m_settings.keyGridColumns);
    DBGridZmena = makeGrid(holder, "DBGridZmena");
    DBGridZmena->setDataSet(m_table.get(), m_settings.codeGridColumns);
    DBGridZmena->setReadOnly(!m_settings.editableByCode);
    DBGridZmena->hide();
    stack->addWidget(m_keyGrid, 0, 0);
    stack->addWidget(DBGridZmena, 0, 0);
    return holder;
}

void CodeDirectoryForm::FormCreate()
{
    m_table->close();
    m_database.registerPassword(store::dataTablesPassword());
    m_table->open();
    refreshRecordCount();
}

void CodeDirectoryForm::refreshRecordCount()
{
    LabelPocetZaznamu->setText(recordCountText(m_table->recordCount()));
}

bool CodeDirectoryForm::endEditing()
{
    return m_editing->saveQuietly();
}

void CodeDirectoryForm::EditHledChange()
{
    widgets::guarded([&] {
        QString typed = EditHled->text();
        if (m_settings.codeSearchText && SpeedButtonIndex->isChecked())
            typed = m_settings.codeSearchText(typed);
        findNearestOrFirst(*m_table, typed.toStdString());
    });
}

void CodeDirectoryForm::bindKeyGridToTable()
{
    if (m_keyGrid->dataSet() != m_table.get())
        m_keyGrid->setDataSet(m_table.get(), m_settings.keyGridColumns);
}

void CodeDirectoryForm::showOrdering(bool byCode)
{
    DBGridZmena->setVisible(byCode);
    if (byCode)
        DBGridZmena->raise();
    BlabelRazeni->setText(byCode ? m_settings.byCodeLabel : m_settings.byKeyLabel);
    m_editing->insertButton()->setEnabled(!byCode);
    m_editing->deleteButton()->setEnabled(!byCode);
}

void CodeDirectoryForm::SpeedButtonIndexClick()
{
    const bool byCode = SpeedButtonIndex->isChecked();
    // A record that cannot be saved keeps the ordering it is typed in.
    if (!endEditing()) {
        SpeedButtonIndex->setChecked(!byCode);
        return;
    }
    widgets::guarded([&] {
        if (SpeedButtonVyber)
            SpeedButtonVyber->setEnabled(!byCode);
        EditHled->clear();
        m_table->setIndexFieldNames(byCode ? m_settings.codeField : m_settings.keyField);
        m_table->first();
        showOrdering(byCode);
    });
    EditHled->setFocus();
}

void CodeDirectoryForm::SpeedButtonVyberClick()
{
    if (!SpeedButtonVyber->isChecked()) {
        bindKeyGridToTable();
        return;
    }
    const bool shown = widgets::guarded([&] {
        const QString code = QString::fromStdString(m_table->text(m_settings.codeField));
        m_postOffice->setSql(texts::kPostOfficeStatement.arg(code).toStdString());
        m_keyGrid->setDataSet(m_postOffice.get(), m_settings.keyGridColumns);
        m_postOffice->open();
        sound::beep();
    });
    if (!shown) {
        SpeedButtonVyber->setChecked(false);
        bindKeyGridToTable();
    }
}

void CodeDirectoryForm::ZpetClick()
{
    // A record that cannot be saved keeps the window open on it.
    if (!endEditing())
        return;
    widgets::guarded([&] {
        SpeedButtonIndex->setChecked(false);
        if (SpeedButtonVyber) {
            SpeedButtonVyber->setChecked(false);
            SpeedButtonVyber->setEnabled(true);
        }
        m_table->setIndexFieldNames(m_settings.keyField);
        m_table->first();
        showOrdering(false);
        bindKeyGridToTable();
        hide();
    });
}

// --- the two windows

TSpzForm::TSpzForm(store::Database& database) : CodeDirectoryForm(database, vehicleCodeSettings()) {}

} // namespace directories
