// Today's reminders: is anything planned for today (the notice with "Ukázat"
// or the green panel), and whose name day and which anniversary is today.

#include "app/MainForm.h"

#include "MainFormTexts.h"

#include "organiser/CzechCalendar.h"
#include "organiser/NameDayRules.h"
#include "organiser/Reminders.h"
#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Query.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/Pictures.h"
#include "widgets/SpeedButton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace app {

namespace {

const QColor kPanelGreen(0, 128, 0);
const QColor kNoticeBackground(255, 255, 225);
constexpr int kPanelWidth = 360;
constexpr int kPanelHeight = 150;
constexpr int kFlowerSize = 32;
constexpr int kLineHeight = 24;
constexpr int kNamedDayInterval = 9000;
constexpr int kAnniversaryInterval = 11000;
const QString kFlower1 = QStringLiteral("Obrazky/Kvetina1.bmp");
const QString kFlower2 = QStringLiteral("Obrazky/Kvetina2.bmp");

QFont boldFont(const QWidget* widget, int pointSize = 0)
{
    QFont font = widget->font();
    font.setBold(true);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

QLabel* centredLabel(QWidget* parent, QLabel* label, const char* name, const QColor& colour,
                     int pointSize)
{
    label->setParent(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFont(boldFont(label, pointSize));
    widgets::setTextColour(label, colour);
    return label;
}

// A flower is decoration: a missing picture leaves its place empty.
void loadFlower(QLabel* image, const QString& file)
{
    if (!image->pixmap().isNull())
        return;
    try {
        image->setPixmap(widgets::loadPicture(file));
    } catch (const widgets::PictureError&) {
    }
}

} // namespace

void TMainForm::createReminderPanels(QWidget* area)
{
    QueryVyroci = std::make_unique<store::Query>(m_database);
    QueryVyroci->setSql("select * from Svatek");

    // The green name-day panel; its parts are placed by hand, as the message
    // line takes either the middle or the bottom line.
    PanelSvatek = new QFrame(area);
    PanelSvatek->setObjectName(QStringLiteral("PanelSvatek"));
    PanelSvatek->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelSvatek->setLineWidth(2);
    widgets::setBackground(PanelSvatek, kPanelGreen);
    PanelSvatek->resize(kPanelWidth, kPanelHeight);
    const int inner = kPanelWidth - 2 * (kFlowerSize + 12);

    LabelDnesMaSvatek = centredLabel(PanelSvatek, new QLabel(texts::kDnesMaSvatek),
                                     "LabelDnesMaSvatek", Qt::yellow, 11);
    LabelDnesMaSvatek->setGeometry(kFlowerSize + 12, 10, inner, kLineHeight);
    DBTextSvatek = new widgets::DBText;
    centredLabel(PanelSvatek, DBTextSvatek, "DBTextSvatek", Qt::yellow, 11);
    DBTextSvatek->setDataField(QString::fromUtf8(organiser::kFieldSvatek));
    DBTextSvatek->setWordWrap(true);
    DBTextSvatek->setGeometry(kFlowerSize + 12, 10 + kLineHeight, inner, 2 * kLineHeight);
    LabelNic = centredLabel(PanelSvatek, new QLabel, "LabelNic", Qt::white, 10);
    LabelNic->setWordWrap(true);
    DBTextVyroci = new widgets::DBText;
    centredLabel(PanelSvatek, DBTextVyroci, "DBTextVyroci", Qt::white, 10);
    DBTextVyroci->setDataField(QString::fromUtf8(organiser::kFieldVyroci));
    DBTextVyroci->setGeometry(8, kPanelHeight - kLineHeight - 12, kPanelWidth - 16, kLineHeight);
    ImageKvetina1 = new QLabel(PanelSvatek);
    ImageKvetina1->setObjectName(QStringLiteral("ImageKvetina1"));
    ImageKvetina1->setGeometry(8, 8, kFlowerSize, kFlowerSize);
    ImageKvetina2 = new QLabel(PanelSvatek);
    ImageKvetina2->setObjectName(QStringLiteral("ImageKvetina2"));
    ImageKvetina2->setGeometry(kPanelWidth - kFlowerSize - 8, 8, kFlowerSize, kFlowerSize);
    for (QWidget* part : {static_cast<QWidget*>(LabelNic), static_cast<QWidget*>(DBTextVyroci),
                          static_cast<QWidget*>(ImageKvetina1), static_cast<QWidget*>(ImageKvetina2)})
        part->hide();
    PanelSvatek->hide();

    // The notice of a planner entry for today, with "Ukázat" inside it.
    EditPozor = new QLineEdit(area);
    EditPozor->setObjectName(QStringLiteral("EditPozor"));
    EditPozor->setReadOnly(true);
    EditPozor->setFocusPolicy(Qt::NoFocus);
    EditPozor->setFont(boldFont(EditPozor, 10));
    EditPozor->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette notice = EditPozor->palette();
    notice.setColor(QPalette::Base, kNoticeBackground);
    notice.setColor(QPalette::Text, Qt::black);
    EditPozor->setPalette(notice);
    EditPozor->resize(460, 68);
    EditPozor->hide();
    BitBtnUkazat = new QPushButton(texts::kUkazat, EditPozor);
    BitBtnUkazat->setObjectName(QStringLiteral("BitBtnUkazat"));
    BitBtnUkazat->setFocusPolicy(Qt::NoFocus);
    BitBtnUkazat->adjustSize();
    BitBtnUkazat->hide();
    connect(BitBtnUkazat, &QPushButton::clicked, this, [this] { widgets::guarded([this] { BitBtnUkazatClick(); }); });
}

void TMainForm::placeReminderPanels(const QRect& area)
{
    EditPozor->move(area.center().x() - EditPozor->width() / 2, area.center().y());
    BitBtnUkazat->move((EditPozor->width() - BitBtnUkazat->width()) / 2,
                       EditPozor->height() - BitBtnUkazat->height() - 6);
    PanelSvatek->move(area.center().x() - PanelSvatek->width() / 2,
                      area.center().y() - PanelSvatek->height() - 8);
}

void TMainForm::setPlanner(std::function<PlannerLink()> planner)
{
    m_planner = std::move(planner);
}

void TMainForm::showPanelMessage(const QString& text, bool bottom)
{
    const int y = bottom ? kPanelHeight - kLineHeight - 12 : (kPanelHeight - 2 * kLineHeight) / 2;
    LabelNic->setGeometry(8, y, kPanelWidth - 16, bottom ? kLineHeight : 2 * kLineHeight);
    LabelNic->setText(text);
    LabelNic->show();
}

void TMainForm::SpeedButtonPozorClick()
{
    if (!m_planner)
        return;
    store::Cursor& plannerTable = *m_planner().table;
    const QDate today = platform::services().clock->today();
    // The hidden notice holds today's date as the reminder compares it; a
    // notice still shown from an earlier check keeps its warning.
    if (EditPozor->isHidden())
        EditPozor->setText(organiser::shortDateText(today));
    if (organiser::plannerHasEntryOn(plannerTable, today)) {
        EditPozor->setText(texts::kPozorPlanovac);
        EditPozor->show();
        EditPozor->raise();
        BitBtnUkazat->show();
        sound::playRisingMelody(m_speaker);
    }
    if (EditPozor->isHidden()) {
        PanelSvatek->show();
        PanelSvatek->raise();
        showPanelMessage(texts::kNicNaplanovano, false);
        LabelDnesMaSvatek->hide();
        DBTextSvatek->hide();
        startPanelTimer();
        sound::playFallingMelody(m_speaker);
    }
}

void TMainForm::BitBtnUkazatClick()
{
    EditPozor->hide();
    BitBtnUkazat->hide();
    const QDate today = platform::services().clock->today();
    EditPozor->setText(organiser::shortDateText(today));
    if (!m_planner)
        return;
    const PlannerLink planner = m_planner();
    planner.window->show();
    planner.window->raise();
    // An entry deleted meanwhile leaves the planner where it was.
    organiser::showPlannerEntryOn(*planner.table, today);
}

void TMainForm::SpeedButtonVyrociClick()
{
    // The calendar is a protected table; registering again changes nothing.
    m_database.registerPassword(store::dataTablesPassword());
    QueryVyroci->setSql(
        organiser::todaysNameDayStatement(platform::services().clock->today()));
    DBTextVyroci->setDataSet(QueryVyroci.get());
    DBTextVyroci->show();
    QueryVyroci->open();
    PanelSvatek->show();
    PanelSvatek->raise();
    LabelDnesMaSvatek->show();
    DBTextSvatek->setDataSet(QueryVyroci.get());
    DBTextSvatek->show();
    startPanelTimer();

    const bool noAnniversary =
        QueryVyroci->rowCount() == 0 || QueryVyroci->text(organiser::kFieldVyroci).empty();
    // Setting the interval of the running timer starts its count again.
    if (noAnniversary) {
        DBTextVyroci->hide();
        showPanelMessage(texts::kZadneVyroci, true);
        Timer1->setInterval(kNamedDayInterval);
        sound::playFallingMelodyLongEnd(m_speaker);
    } else {
        // The anniversary takes the bottom line the message would share.
        LabelNic->hide();
        loadFlower(ImageKvetina1, kFlower1);
        loadFlower(ImageKvetina2, kFlower2);
        ImageKvetina1->show();
        ImageKvetina2->show();
        Timer1->setInterval(kAnniversaryInterval);
        sound::playRisingMelody(m_speaker);
    }
}

} // namespace app
