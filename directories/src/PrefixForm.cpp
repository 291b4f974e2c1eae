#include "directories/PrefixForm.h"

#include "RecordEditing.h"
#include "ToolbarTexts.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/SpeedButton.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace directories {

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
    ToolButtonVloz = widgets::speedButton(toolbar, "ToolButtonVloz", texts::kHintVlozit, QStringLiteral("+"),
                                          QColor(0, 140, 0));
    ToolButtonSmaz = widgets::speedButton(toolbar, "ToolButtonSmaz", texts::kHintSmazat, QStringLiteral("−"), Qt::red);
    ToolButtonPotvrd = widgets::speedButton(toolbar, "ToolButtonPotvrd", texts::kHintUlozit, QStringLiteral("✓"),
                                            QColor(0, 140, 0));
    ToolButtonZrus = widgets::speedButton(toolbar, "ToolButtonZrus", texts::kHintNeukladat, QStringLiteral("✗"),
                                          Qt::red);
    connect(ToolButtonVloz, &QToolButton::clicked, this, [this] { ToolButtonVlozClick(); });
    connect(ToolButtonSmaz, &QToolButton::clicked, this, [this] { ToolButtonSmazClick(); });
    connect(ToolButtonPotvrd, &QToolButton::clicked, this, [this] { ToolButtonPotvrdClick(); });
    connect(ToolButtonZrus, &QToolButton::clicked, this, [this] { ToolButtonZrusClick(); });
    for (QToolButton* button : {ToolButtonVloz, ToolButtonSmaz, ToolButtonPotvrd, ToolButtonZrus})
        toolbar->addWidget(button);
    toolbar->addSeparator();
    m_backButton = widgets::speedButton(toolbar, settings.backButtonName, texts::kHintZpet, QStringLiteral("↩"),
                                        QColor(0, 0, 128));
    connect(m_backButton, &QToolButton::clicked, this, [this] { ZpetClick(); });
    toolbar->addWidget(m_backButton);
    column->addWidget(toolbar);

    DBGrid = new widgets::DBGrid(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setDataSet(m_table.get(), {{QString::fromStdString(settings.keyField), QString(), 240},
                                       {QString::fromStdString(settings.prefixField), QString(), 110}});
    // Column titles in white on black.
    DBGrid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: black; color: white; padding: 2px; }"));
    column->addWidget(DBGrid, 1);

    // Unlike the other toolbars, all four buttons start enabled.
    setEditingButtons(true);
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

void PrefixForm::setEditingButtons(bool enabled)
{
    ToolButtonPotvrd->setEnabled(enabled);
    ToolButtonZrus->setEnabled(enabled);
}

void PrefixForm::HledEditChange()
{
    widgets::guarded([&] {
        findNearestOrFirst(*m_table, HledEdit->text().toStdString());
    });
}

void PrefixForm::ToolButtonVlozClick()
{
    widgets::guarded([&] {
        sound::toneInsert(m_speaker);
        setEditingButtons(true);
        insertFromToolbar(*DBGrid, *m_table);
    });
}

void PrefixForm::ToolButtonSmazClick()
{
    widgets::guarded([&] {
        DBGrid->endTyping(); // an untouched new row is no record to delete
        const QString key = QString::fromStdString(m_table->text(m_settings.keyField));
        if (!platform::services().dialogs->confirm(texts::kSmazatZaznam + key + QLatin1Char('?')))
            return;
        m_table->remove();
        sound::toneDeleted(m_speaker);
    });
}

void PrefixForm::ToolButtonPotvrdClick()
{
    widgets::guarded([&] {
        sound::toneDone(m_speaker);
        if (const auto failure = saveFromToolbar(*DBGrid, *m_table, m_settings.duplicateMessage)) {
            // The entry stays as typed, so the key can be corrected.
            platform::services().dialogs->errorBox(failure->message);
            return;
        }
        setEditingButtons(false);
    });
}

void PrefixForm::ToolButtonZrusClick()
{
    widgets::guarded([&] {
        sound::playDropped(m_speaker);
        DBGrid->dropOpenEditor();
        m_table->cancel();
        setEditingButtons(false);
    });
}

void PrefixForm::ZpetClick()
{
    HledEdit->setFocus();
    if (HledEdit->text().isEmpty())
        HledEditChange(); // clearing an empty field would not move to the first record
    else
        HledEdit->clear();
    hide();
}

} // namespace directories
