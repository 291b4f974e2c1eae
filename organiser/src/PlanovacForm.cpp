// The planner: layout, clock, new entries, deleting and printing.

#include "organiser/PlanovacForm.h"

#include "KalendarFormTexts.h"
#include "PlanovacFormTexts.h"
#include "organiser/CzechCalendar.h"
#include "organiser/KalendarForm.h"

#include "platform/Platform.h"
#include "reports/LabelledLines.h"
#include "reports/TextPrinter.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/ErrorReport.h"
#include "widgets/SpeedButton.h"
#include "widgets/UnsavedWork.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace organiser {

namespace {

constexpr int kHelpTopic = 5;
constexpr int kClockInterval = 1000;
const QColor kWindowColour(0, 0, 96);
const QColor kGridColour(212, 212, 212);
const QColor kClockText(200, 0, 0);
const QColor kClockBackground(255, 250, 225);
const QColor kGlyphColour(0, 0, 128);
constexpr const char* kFieldDatum = "Datum";
constexpr const char* kFieldCinnost = "Činnost";

} // namespace

TPlanovacForm::TPlanovacForm(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window), m_table(std::make_unique<store::Cursor>(database, "Datp.db"))
{
    setObjectName(QStringLiteral("PlanovacForm"));
    setWindowTitle(planovac::kCaption);
    m_pending = std::make_unique<widgets::PendingRecord>(*this, *m_table, kalendar::kDuplicateDate);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    widgets::setBackground(this, kWindowColour);

    m_table->open();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(createToolbar());
    column->addWidget(createSearchPanel());
    DBGridPlanovac = new widgets::DBGrid(this);
    DBGridPlanovac->setObjectName(QStringLiteral("DBGridPlanovac"));
    DBGridPlanovac->setDataSet(m_table.get(),
                               {{QString::fromUtf8(kFieldDatum), planovac::kTitleDatum, 90},
                                {QString::fromUtf8(kFieldCinnost), planovac::kTitleCinnost, 520}});
    DBGridPlanovac->setCellColors(kGridColour, Qt::black);
    DBGridPlanovac->horizontalHeader()->setStretchLastSection(true);
    // Entries come from the date picker, one per picked date, never from the grid's keys.
    DBGridPlanovac->setRecordKeys(false, true);
    column->addWidget(DBGridPlanovac, 1);

    // The clock runs from start-up to the end, also while the window is hidden.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kClockInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    resize(680, 420);
}

TPlanovacForm::~TPlanovacForm()
{
    // The controls observe the table, so they go first.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
}

QWidget* TPlanovacForm::createToolbar()
{
    auto* toolbar = new QFrame(this);
    toolbar->setObjectName(QStringLiteral("PanelNastroje"));
    toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    widgets::setBackground(toolbar, kWindowColour.lighter(160));
    auto* row = new QHBoxLayout(toolbar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);

    LabelDat = new QLabel(toolbar);
    LabelDat->setObjectName(QStringLiteral("LabelDat"));
    LabelDat->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont clockFont = LabelDat->font();
    clockFont.setBold(true);
    LabelDat->setFont(clockFont);
    // Room for the longest date: "Dnes je čtvrtek 30.listopad 2000".
    LabelDat->setMinimumWidth(QFontMetrics(clockFont).horizontalAdvance(
                                  QStringLiteral("Dnes je čtvrtek 30.listopad 2000")) + 24);
    LabelDat->setAlignment(Qt::AlignCenter);
    widgets::setBackground(LabelDat, kClockBackground);
    widgets::setTextColour(LabelDat, kClockText);
    row->addWidget(LabelDat);
    row->addSpacing(6);

    DBNavigator = new widgets::DBNavigator(toolbar);
    DBNavigator->setObjectName(QStringLiteral("DBNavigator"));
    DBNavigator->setDataSet(m_table.get());
    DBNavigator->setHint(widgets::DBNavigator::Button::First, planovac::kHintFirst);
    DBNavigator->setHint(widgets::DBNavigator::Button::Prior, planovac::kHintPrior);
    DBNavigator->setHint(widgets::DBNavigator::Button::Next, planovac::kHintNext);
    DBNavigator->setHint(widgets::DBNavigator::Button::Last, planovac::kHintLast);
    row->addWidget(DBNavigator);

    SpeedButtonVloz = widgets::speedButton(toolbar, "SpeedButtonVloz", planovac::kHintVloz,
                                           QStringLiteral("+"), QColor(0, 140, 0));
    SpeedButtonSmaz = widgets::speedButton(toolbar, "SpeedButtonSmaz", planovac::kHintSmaz,
                                           QStringLiteral("−"), Qt::red);
    connect(SpeedButtonVloz, &QToolButton::clicked, this, [this] { SpeedButtonVlozClick(); });
    connect(SpeedButtonSmaz, &QToolButton::clicked, this, [this] { SpeedButtonSmazClick(); });
    row->addWidget(SpeedButtonVloz);
    row->addWidget(SpeedButtonSmaz);

    DBNavigator1 = new widgets::DBNavigator(toolbar);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setVisibleButtons(
        {widgets::DBNavigator::Button::Post, widgets::DBNavigator::Button::Cancel});
    DBNavigator1->setHint(widgets::DBNavigator::Button::Post, planovac::kHintUlozit);
    DBNavigator1->setHint(widgets::DBNavigator::Button::Cancel, planovac::kHintNeukladat);
    DBNavigator1->setDataSet(m_table.get());
    row->addWidget(DBNavigator1);
    // Every click of either navigator sounds the system's beep afterwards.
    for (widgets::DBNavigator* navigator : {DBNavigator, DBNavigator1})
        connect(navigator, &widgets::DBNavigator::clicked, this, [] { sound::beep(); });

    SpeedButtonHledani = widgets::speedButton(toolbar, "SpeedButtonHledani",
                                              planovac::kHintHledani, QStringLiteral("⚲"),
                                              kGlyphColour);
    SpeedButtonSvatek = widgets::speedButton(toolbar, "SpeedButtonSvatek", planovac::kHintSvatek,
                                             QStringLiteral("✿"), QColor(0, 128, 0));
    connect(SpeedButtonHledani, &QToolButton::clicked, this, [this] { SpeedButtonHledaniClick(); });
    connect(SpeedButtonSvatek, &QToolButton::clicked, this, [this] { SpeedButtonSvatekClick(); });
    row->addWidget(SpeedButtonHledani);
    row->addWidget(SpeedButtonSvatek);
    row->addStretch(1);

    SpeedButtonTisk = new QPushButton(planovac::kTisk, toolbar);
    SpeedButtonTisk->setObjectName(QStringLiteral("SpeedButtonTisk"));
    SpeedButtonZpet = new QPushButton(planovac::kZpet, toolbar);
    SpeedButtonZpet->setObjectName(QStringLiteral("SpeedButtonZpet"));
    SpeedButtonZpet->setToolTip(planovac::kHintZpet);
    for (QPushButton* button : {SpeedButtonTisk, SpeedButtonZpet}) {
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
    }
    connect(SpeedButtonTisk, &QPushButton::clicked, this, [this] { SpeedButtonTiskClick(); });
    connect(SpeedButtonZpet, &QPushButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    return toolbar;
}

void TPlanovacForm::Timer1Timer()
{
    LabelDat->setText(planovac::kClockPrefix + longDateText(platform::services().clock->today()));
}

void TPlanovacForm::showOnFirstEntry()
{
    show();
    widgets::guarded([&] {
        commitOpenEditor();
        m_table->first();
    });
}

void TPlanovacForm::commitOpenEditor()
{
    DBGridPlanovac->commitOpenEditor();
}

void TPlanovacForm::focusActivity()
{
    show();
    raise();
    activateWindow();
    DBGridPlanovac->setFocus();
    const QModelIndex current = DBGridPlanovac->currentIndex();
    if (current.isValid())
        DBGridPlanovac->setCurrentIndex(DBGridPlanovac->model()->index(current.row(), 1));
}

void TPlanovacForm::SpeedButtonVlozClick()
{
    if (!m_datePicker)
        return;
    widgets::guarded([&] { m_datePicker->open(TKalendarForm::Use::Planning); });
    sound::toneInsert(m_speaker);
}

void TPlanovacForm::SpeedButtonSmazClick()
{
    widgets::guarded([&] {
        commitOpenEditor();
        // An empty planner has nothing to ask about; the store says so.
        if (m_table->rowCount() == 0)
            throw store::StoreError(store::StoreError::Kind::EmptyDataset,
                                    store::kEmptyDatasetMessage);
        const QString date = QString::fromStdString(m_table->text(kFieldDatum));
        if (!platform::services().dialogs->confirm(planovac::kDeleteQuestion.arg(date)))
            return;
        m_table->remove();
        sound::toneDeleted(m_speaker);
    });
}

void TPlanovacForm::SpeedButtonSvatekClick()
{
    if (m_nameDayWindow)
        m_nameDayWindow->show();
}

void TPlanovacForm::SpeedButtonTiskClick()
{
    if (!platform::services().dialogs->confirm(planovac::kPrintQuestion))
        return;
    widgets::guarded([&] {
        commitOpenEditor();
        reports::TextPrinter out(*platform::services().printer);
        reports::printLabelledLines(*m_table, out, font(), planovac::kPrintJob,
                                    {{kFieldDatum, planovac::kLabelDatum},
                                     {kFieldCinnost, planovac::kLabelCinnost}});
    });
}

void TPlanovacForm::SpeedButtonZpetClick()
{
    hide();
}

} // namespace organiser
