#include "calculators/CasyForm.h"

#include "CasyTexts.h"
#include "FormSupport.h"
#include "calculators/WorldClock.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "widgets/DBGrid.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"
#include "widgets/UnsavedWork.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace calculators {

namespace {

namespace texts = casytexts;

constexpr int kHelpTopic = 3;
constexpr int kTickMs = 1000;
constexpr int kPage = 15;
const QColor kNavy(0, 0, 128);
const QColor kPaleYellow(255, 255, 225);
const QColor kGreen(0, 128, 0);

void fill(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

QLabel* timeLabel(const char* name, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    colourText(label, colour, true);
    QFont large = label->font();
    large.setPointSize(18);
    label->setFont(large);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A page button's picture: two arrow heads pointing up or down the list.
QIcon pageIcon(bool forward)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 0));
    for (int y : {3, 10}) {
        const int tip = forward ? y + 7 : y;
        const int base = forward ? y : y + 7;
        const QPoint head[] = {QPoint(3, base), QPoint(17, base), QPoint(10, tip)};
        painter.drawPolygon(head, 3);
    }
    return QIcon(pixmap);
}

QToolButton* pageButton(const char* name, const QString& hint, bool forward, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setIcon(pageIcon(forward));
    button->setIconSize(QSize(20, 20));
    return button;
}

} // namespace

TCasyForm::TCasyForm(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_database(database),
      m_table(std::make_unique<store::Cursor>(database, "Cas.db"))
{
    setObjectName(QStringLiteral("CasyForm"));
    setWindowTitle(texts::kCaption);
    m_pending = std::make_unique<widgets::PendingRecord>(*this, *m_table);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    column->addWidget(createTimePanels());
    column->addWidget(createButtonBar());

    DBGridCas = new widgets::DBGrid(this);
    DBGridCas->setObjectName(QStringLiteral("DBGridCas"));
    DBGridCas->setReadOnly(true);
    DBGridCas->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridCas->setCellColors(kPaleYellow, Qt::black);
    QFont boldTitles = DBGridCas->horizontalHeader()->font();
    boldTitles.setBold(true);
    DBGridCas->horizontalHeader()->setFont(boldTitles);
    column->addWidget(DBGridCas, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, [this] { widgets::guarded([this] { Timer1Timer(); }); });

    resize(460, 420);
}

TCasyForm::~TCasyForm()
{
    Timer1->stop();
    // The grid and the city label observe the cursor, which goes before the children do.
    DBGridCas->setDataSet(nullptr, {});
    DBTextMesto->setDataSet(nullptr);
    m_table->afterScroll.disconnect(m_afterScroll);
}

QWidget* TCasyForm::createTimePanels()
{
    auto* panels = new QWidget(this);
    auto* row = new QHBoxLayout(panels);
    row->setContentsMargins(0, 0, 0, 0);

    auto* city = new QFrame(panels);
    city->setObjectName(QStringLiteral("PanelMesto"));
    city->setFrameStyle(QFrame::Panel | QFrame::Raised);
    fill(city, kNavy);
    auto* cityColumn = new QVBoxLayout(city);
    DBTextMesto = new widgets::DBText(city);
    DBTextMesto->setObjectName(QStringLiteral("DBTextMesto"));
    DBTextMesto->setAlignment(Qt::AlignCenter);
    colourText(DBTextMesto, Qt::white, true);
    LabelMesto = timeLabel("LabelMesto", Qt::white, city);
    cityColumn->addWidget(DBTextMesto);
    cityColumn->addWidget(LabelMesto);

    auto* local = new QFrame(panels);
    local->setObjectName(QStringLiteral("PanelMistni"));
    local->setFrameStyle(QFrame::Panel | QFrame::Raised);
    fill(local, kPaleYellow);
    auto* localColumn = new QVBoxLayout(local);
    auto* caption = new QLabel(texts::kMistniCas, local);
    caption->setAlignment(Qt::AlignCenter);
    LabelMistni = timeLabel("LabelMistni", kNavy, local);
    localColumn->addWidget(caption);
    localColumn->addWidget(LabelMistni);

    row->addWidget(city, 1);
    row->addWidget(local, 1);
    return panels;
}

QWidget* TCasyForm::createButtonBar()
{
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("PanelTlacitka"));
    fill(bar, kGreen);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    SpeedButtonZacatek = pageButton("SpeedButtonZacatek", texts::kHintZacatek, false, bar);
    SpeedButtonDale = pageButton("SpeedButtonDale", texts::kHintDale, true, bar);
    SpeedButtonZpet = pushButton("SpeedButtonZpet", texts::kZpet, {}, bar);
    row->addWidget(SpeedButtonZacatek);
    row->addWidget(SpeedButtonDale);
    row->addStretch(1);
    row->addWidget(SpeedButtonZpet);
    connect(SpeedButtonZacatek, &QToolButton::clicked, this,
            [this] { widgets::guarded([this] { SpeedButtonZacatekClick(); }); });
    connect(SpeedButtonDale, &QToolButton::clicked, this,
            [this] { widgets::guarded([this] { SpeedButtonDaleClick(); }); });
    connect(SpeedButtonZpet, &QPushButton::clicked, this, [this] { SpeedButtonZpetClick(); });
    return bar;
}

void TCasyForm::FormCreate()
{
    m_table->afterScroll.disconnect(m_afterScroll);
    m_table->close();
    m_database.registerPassword(store::dataTablesPassword());
    m_table->open();
    // Opening is no move: both page buttons stay enabled until the first one.
    m_afterScroll = m_table->afterScroll.connect([this] { TableCasAfterScroll(); });
    DBGridCas->setDataSet(m_table.get(), {{QStringLiteral("Země"), texts::kTitleZeme, 150},
                                          {QStringLiteral("Město"), texts::kTitleMesto, 150},
                                          {QStringLiteral("Směr"), texts::kTitleSmer, 40, true, Qt::AlignCenter},
                                          {QStringLiteral("Posun"), texts::kTitlePosun, 60, true, Qt::AlignCenter}});
    DBTextMesto->setDataSet(m_table.get());
    DBTextMesto->setDataField(QStringLiteral("Město"));
}

void TCasyForm::showClock()
{
    show();
    Timer1->start();
}

void TCasyForm::Timer1Timer()
{
    const QTime local = platform::services().clock->now().time();
    if (isFullMinute(local))
        sound::toneFullMinute(m_speaker);
    else
        sound::beep();

    QString city;
    if (m_table->isActive() && m_table->rowCount() > 0) {
        const QString direction = QString::fromStdString(m_table->text("Směr"));
        const std::optional<QTime> difference = differenceFromText(QString::fromStdString(m_table->text("Posun")));
        city = difference ? clockText(cityTime(local, direction, *difference)) : texts::kBadDifference;
    }
    LabelMesto->setText(city);
    LabelMistni->setText(clockText(local));
}

void TCasyForm::SpeedButtonDaleClick()
{
    SpeedButtonZacatek->setEnabled(true);
    SpeedButtonDale->setEnabled(true);
    m_table->moveBy(kPage);
    if (m_table->eof()) {
        SpeedButtonDale->setEnabled(false);
        SpeedButtonZacatek->setEnabled(true);
    }
}

void TCasyForm::SpeedButtonZacatekClick()
{
    SpeedButtonZacatek->setEnabled(true);
    SpeedButtonDale->setEnabled(true);
    m_table->moveBy(-kPage);
    if (m_table->bof()) {
        SpeedButtonZacatek->setEnabled(false);
        SpeedButtonDale->setEnabled(true);
    }
}

void TCasyForm::TableCasAfterScroll()
{
    SpeedButtonZacatek->setEnabled(!m_table->bof());
    SpeedButtonDale->setEnabled(!m_table->eof());
}

void TCasyForm::SpeedButtonZpetClick()
{
    Timer1->stop();
    close();
}

void TCasyForm::closeEvent(QCloseEvent* event)
{
    // The clock runs only while the window is shown.
    Timer1->stop();
    QWidget::closeEvent(event);
}

} // namespace calculators
