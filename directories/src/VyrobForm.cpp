// The appliance register: its controls. The actions are in VyrobFormActions.cpp.

#include "directories/VyrobForm.h"

#include "DirectorySupport.h"
#include "ToolbarTexts.h"
#include "VyrobTexts.h"

#include "directories/DirectorySettings.h"

#include "store/Database.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/DataControls.h"
#include "widgets/RecordToolbar.h"
#include "widgets/SpeedButton.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace directories {

namespace {

const char* const kTable = "Vyrob.db";
const QColor kTitleGreen(0, 60, 0);
const QColor kMemoGrey(212, 208, 200);

QList<widgets::GridColumn> registerColumns()
{
    return {
        {QStringLiteral("Výrobek"), QString(), 160},
        {QStringLiteral("Výrobce"), QString(), 120},
        {QStringLiteral("Číslo výrobku"), QString(), 110},
        {QStringLiteral("Datum koupě"), QString(), 90},
        {QStringLiteral("Záruka do"), QString(), 90},
        {QStringLiteral("Cena"), QString(), 70},
        {QStringLiteral("Koupeno kde"), texts::kTitleProdejce, 130},
        {QStringLiteral("Umístění"), texts::kTitleUmisteni, 130},
        {QStringLiteral("Adresy opraven"), QString(), 180},
        {QStringLiteral("Poznámka"), QString(), 180},
    };
}

widgets::RecordToolbarSettings editingSettings()
{
    widgets::RecordToolbarSettings editing = toolButtonEditing(texts::kDuplicateProduct, "Výrobek");
    // A change typed into a cell or field does not turn Save and Discard on;
    // the delete tone answers the question, whatever the answer.
    editing.editTurnsOn = false;
    editing.deleteToneOnNo = true;
    return editing;
}

QLabel* fieldLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TVyrobForm::TVyrobForm(store::Database& database)
    : QWidget(nullptr, Qt::Window), m_table(std::make_unique<store::Cursor>(database, kTable))
{
    setObjectName(QStringLiteral("TVyrobForm"));
    setWindowTitle(texts::kVyrobCaption);
    setHelpTopic(this, kHelpAppliances);
    m_table->open();
    DBGrid1 = new widgets::DBGrid(this);
    widgets::RecordEditors editors = widgets::gridEditors(DBGrid1);
    // A date still being typed goes into the record too; one that is no date stops the action.
    editors.commit = [this] { return commitTyping(); };
    m_editing = std::make_unique<widgets::RecordToolbar>(this, *m_table, editingSettings(), std::move(editors));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(createToolbar());

    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSet(m_table.get(), registerColumns());
    // The current row stays highlighted while another control has the focus.
    QPalette highlight = DBGrid1->palette();
    highlight.setColor(QPalette::Inactive, QPalette::Highlight, highlight.color(QPalette::Active, QPalette::Highlight));
    highlight.setColor(QPalette::Inactive, QPalette::HighlightedText,
                       highlight.color(QPalette::Active, QPalette::HighlightedText));
    DBGrid1->setPalette(highlight);
    column->addWidget(DBGrid1, 1);
    column->addWidget(createRepairPanel());
    // The grid was made before the toolbar that acts on it: it still comes
    // after the search field in the order of the Tab key.
    setTabOrder(HledEdit, DBGrid1);

    resize(900, 560);
    HledEdit->setFocus();
}

TVyrobForm::~TVyrobForm()
{
    // The controls observe the cursor, so they go before it does.
    m_repairsBinding.reset();
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

QWidget* TVyrobForm::createToolbar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    HledEdit = new QLineEdit(bar);
    HledEdit->setObjectName(QStringLiteral("HledEdit"));
    HledEdit->setToolTip(texts::kHintHledani);
    HledEdit->setStatusTip(texts::kHintHledani);
    HledEdit->setMinimumWidth(180);
    connect(HledEdit, &QLineEdit::textChanged, this, [this] { HledEditChange(); });
    row->addWidget(HledEdit);
    row->addSpacing(8);

    DBNavigator1 = new widgets::DBNavigator(bar);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setDataSet(m_table.get());
    DBNavigator1->setHint(widgets::DBNavigator::Button::First, texts::kHintFirst);
    DBNavigator1->setHint(widgets::DBNavigator::Button::Prior, texts::kHintPrior);
    DBNavigator1->setHint(widgets::DBNavigator::Button::Next, texts::kHintNext);
    DBNavigator1->setHint(widgets::DBNavigator::Button::Last, texts::kHintLast);
    row->addWidget(DBNavigator1);
    row->addSpacing(8);

    for (QToolButton* button : m_editing->buttons())
        row->addWidget(button);
    row->addStretch(1);

    SpeedButtonTisk = new QPushButton(texts::kTisk, bar);
    SpeedButtonTisk->setObjectName(QStringLiteral("SpeedButtonTisk"));
    SpeedButtonZpet = new QPushButton(texts::kZpetButton, bar);
    SpeedButtonZpet->setObjectName(QStringLiteral("SpeedButtonZpet"));
    for (QPushButton* button : {SpeedButtonTisk, SpeedButtonZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
    }
    connect(SpeedButtonTisk, &QPushButton::clicked, this, [this] { SpeedButtonTiskClick(); });
    connect(SpeedButtonZpet, &QPushButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    return bar;
}

QWidget* TVyrobForm::createRepairPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelOpravy"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 4, 4);

    GroupBoxVkladani = new QGroupBox(texts::kVkladaniOprav, panel);
    GroupBoxVkladani->setObjectName(QStringLiteral("GroupBoxVkladani"));
    auto* entry = new QGridLayout(GroupBoxVkladani);
    const auto dateField = [&](const char* name, const QString& field) {
        auto* date = new widgets::DBDateEdit(GroupBoxVkladani);
        date->setObjectName(QString::fromLatin1(name));
        date->setDropDownHint(texts::kHintVybratDatum);
        date->setDataSet(m_table.get());
        date->setDataField(field);
        date->setMinimumWidth(110);
        return date;
    };
    DBDateEditOd = dateField("DBDateEditOd", QStringLiteral("Oprava od"));
    DBDateEditDo = dateField("DBDateEditDo", QStringLiteral("Oprava do"));
    DBComboBoxZarucni = new widgets::DBComboBox(GroupBoxVkladani);
    DBComboBoxZarucni->setObjectName(QStringLiteral("DBComboBoxZarucni"));
    DBComboBoxZarucni->addItems({texts::kAno, texts::kNe});
    DBComboBoxZarucni->setDataSet(m_table.get());
    DBComboBoxZarucni->setDataField(QStringLiteral("Záruční"));
    ButtonOprava = new QPushButton(texts::kUlozitOpravu, GroupBoxVkladani);
    ButtonOprava->setObjectName(QStringLiteral("ButtonOprava"));
    ButtonOprava->setToolTip(texts::kHintUlozitOpravu);
    ButtonOprava->setStatusTip(texts::kHintUlozitOpravu);
    connect(ButtonOprava, &QPushButton::clicked, this, [this] { ButtonOpravaClick(); });
    entry->addWidget(fieldLabel(texts::kOd, DBDateEditOd, GroupBoxVkladani), 0, 0);
    entry->addWidget(DBDateEditOd, 0, 1);
    entry->addWidget(fieldLabel(texts::kDo, DBDateEditDo, GroupBoxVkladani), 1, 0);
    entry->addWidget(DBDateEditDo, 1, 1);
    entry->addWidget(fieldLabel(texts::kZarucni, DBComboBoxZarucni, GroupBoxVkladani), 2, 0);
    entry->addWidget(DBComboBoxZarucni, 2, 1);
    entry->addWidget(ButtonOprava, 3, 1, Qt::AlignRight);
    row->addWidget(GroupBoxVkladani);

    GroupBoxPrehled = new QGroupBox(texts::kPrehledOprav, panel);
    GroupBoxPrehled->setObjectName(QStringLiteral("GroupBoxPrehled"));
    auto* overview = new QVBoxLayout(GroupBoxPrehled);
    DBMemoOpravy = new QPlainTextEdit(GroupBoxPrehled);
    DBMemoOpravy->setObjectName(QStringLiteral("DBMemoOpravy"));
    // It shows the record of repairs; only the repair entry adds to it.
    DBMemoOpravy->setReadOnly(true);
    DBMemoOpravy->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemoOpravy->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette grey = DBMemoOpravy->palette();
    grey.setColor(QPalette::Base, kMemoGrey);
    DBMemoOpravy->setPalette(grey);
    overview->addWidget(DBMemoOpravy);
    row->addWidget(GroupBoxPrehled, 1);
    m_repairsBinding = std::make_unique<widgets::FieldBinding>([this] {
        const QString repairs = m_repairsBinding ? m_repairsBinding->text() : QString();
        if (DBMemoOpravy->toPlainText() != repairs)
            DBMemoOpravy->setPlainText(repairs);
    });
    m_repairsBinding->setField(QStringLiteral("Záruční opravy"));
    m_repairsBinding->setDataSet(m_table.get());

    ImageObrazek = new QLabel(panel);
    ImageObrazek->setObjectName(QStringLiteral("ImageObrazek"));
    ImageObrazek->setPixmap(widgets::glyphIcon(QStringLiteral("⚙"), QColor(0, 60, 0), 96).pixmap(96, 96));
    row->addWidget(ImageObrazek);
    return panel;
}

void TVyrobForm::FormCreate()
{
    HledEdit->setFocus();
    QHeaderView* titles = DBGrid1->horizontalHeader();
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    QPalette green = titles->palette();
    green.setColor(QPalette::ButtonText, kTitleGreen);
    green.setColor(QPalette::WindowText, kTitleGreen);
    titles->setPalette(green);
    // Every title whole in its bold type ("Datum koupě" was cut).
    for (int column = 0; column < titles->count(); ++column)
        DBGrid1->setColumnWidth(column, std::max(DBGrid1->columnWidth(column), titles->sectionSizeHint(column)));
}

} // namespace directories
