#include "organiser/KalendarForm.h"

#include "KalendarFormTexts.h"
#include "organiser/CzechCalendar.h"
#include "organiser/MonthGrid.h"
#include "organiser/NameDayRules.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "store/Query.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/SpeedButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace organiser {

namespace {

constexpr int kHelpTopic = 5;
const QColor kDarkRed(128, 0, 0);
const QColor kArrowColour(0, 0, 128);

} // namespace

TKalendarForm::TKalendarForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("KalendarForm"));
    setWindowTitle(kalendar::kCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    auto* titleRow = new QHBoxLayout;
    MinMesicSpeedButton = widgets::speedButton(this, "MinMesicSpeedButton",
                                               kalendar::kHintPrevMonth, QStringLiteral("◀"),
                                               kArrowColour);
    PrisMesicSpeedButton = widgets::speedButton(this, "PrisMesicSpeedButton",
                                                kalendar::kHintNextMonth, QStringLiteral("▶"),
                                                kArrowColour);
    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setAlignment(Qt::AlignCenter);
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    TitleLabel->setFont(bold);
    titleRow->addWidget(MinMesicSpeedButton);
    titleRow->addWidget(TitleLabel, 1);
    titleRow->addWidget(PrisMesicSpeedButton);
    column->addLayout(titleRow);

    Calendar1 = new MonthGrid(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setDate(platform::services().clock->today());
    column->addWidget(Calendar1, 1);

    DBTextJmeno = new widgets::DBText(this);
    DBTextJmeno->setObjectName(QStringLiteral("DBTextJmeno"));
    DBTextJmeno->setAlignment(Qt::AlignCenter);
    DBTextJmeno->setWordWrap(true);
    DBTextJmeno->setMinimumHeight(DBTextJmeno->fontMetrics().height() * 2 + 4);
    QFont nameFont = DBTextJmeno->font();
    nameFont.setBold(true);
    DBTextJmeno->setFont(nameFont);
    widgets::setTextColour(DBTextJmeno, kDarkRed);
    column->addWidget(DBTextJmeno);

    auto* buttons = new QHBoxLayout;
    BitBtnOK = new QPushButton(kalendar::kOk, this);
    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    BitBtnZpet = new QPushButton(kalendar::kZpet, this);
    BitBtnZpet->setObjectName(QStringLiteral("BitBtnZpet"));
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtnZpet);
    column->addLayout(buttons);

    connect(Calendar1, &MonthGrid::changed, this, [this] { Calendar1Change(); });
    connect(MinMesicSpeedButton, &QToolButton::clicked, this, [this] { MinMesicSpeedButtonClick(); });
    connect(PrisMesicSpeedButton, &QToolButton::clicked, this, [this] { PrisMesicSpeedButtonClick(); });
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(BitBtnZpet, &QPushButton::clicked, this, [this] { BitBtnZpetClick(); });

    TitleLabel->setText(monthTitle(Calendar1->date()));
    resize(320, 330);
}

TKalendarForm::~TKalendarForm()
{
    // The name text observes the name-day window's selection: unbind it first.
    DBTextJmeno->setDataSet(nullptr);
}

void TKalendarForm::setNameDayQuery(store::Query* query)
{
    m_nameDays = query;
}

void TKalendarForm::setPlanner(store::Cursor* planner, std::function<void()> beforeNewEntry,
                               std::function<void()> afterNewEntry)
{
    m_planner = planner;
    m_beforeNewEntry = std::move(beforeNewEntry);
    m_afterNewEntry = std::move(afterNewEntry);
}

QDate TKalendarForm::date() const
{
    return Calendar1->date();
}

void TKalendarForm::showNameDay(const QDate& day)
{
    if (!m_nameDays)
        return;
    m_nameDays->setSql(nameDayStatement(nameDayKey(day)));
    DBTextJmeno->setDataSet(m_nameDays);
    DBTextJmeno->setDataField(QString::fromUtf8(kFieldSvatek));
    m_nameDays->open();
}

void TKalendarForm::open(Use use)
{
    // The picker opens on today, so the calendar, the title and the name
    // below agree and OK adds the day the user sees.
    const QDate today = platform::services().clock->today();
    {
        const QSignalBlocker quiet(Calendar1);
        Calendar1->setDate(today);
    }
    TitleLabel->setText(monthTitle(today));
    showNameDay(today);
    show();
    raise();
    activateWindow();
    BitBtnOK->setVisible(use == Use::Planning);
    Calendar1->setFocus();
}

void TKalendarForm::Calendar1Change()
{
    widgets::guarded([&] {
        const QDate picked = Calendar1->date();
        showNameDay(picked);
        TitleLabel->setText(monthTitle(picked));
    });
}

void TKalendarForm::MinMesicSpeedButtonClick()
{
    Calendar1->prevMonth();
    sound::beep();
}

void TKalendarForm::PrisMesicSpeedButtonClick()
{
    Calendar1->nextMonth();
    sound::beep();
}

void TKalendarForm::BitBtnOKClick()
{
    if (!m_planner)
        return;
    // A planner row still being edited is saved (or dropped) on its own
    // first, so its failure is not taken for a taken date.
    if (!widgets::guarded([&] {
            if (m_beforeNewEntry)
                m_beforeNewEntry();
            const store::CursorState state = m_planner->state();
            if (state == store::CursorState::Edit || state == store::CursorState::Insert) {
                if (m_planner->modified())
                    m_planner->post();
                else
                    m_planner->cancel();
            }
        }))
        return;
    try {
        m_planner->insertRecord({shortDateText(Calendar1->date()).toStdString()});
    } catch (const store::StoreError& error) {
        // A date taken already is the expected failure; any other one (a
        // read-only or damaged file) says what really went wrong.
        if (error.kind() == store::StoreError::Kind::KeyViolation)
            platform::services().dialogs->error(kalendar::kDuplicateDate);
        else
            widgets::reportError(error);
        return;
    }
    sound::toneDone(m_speaker);
    hide();
    if (m_afterNewEntry)
        m_afterNewEntry();
}

void TKalendarForm::BitBtnZpetClick()
{
    hide();
}

} // namespace organiser
