#include "backup/TZalhForm.h"

#include "BackupTexts.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace backup {

namespace {

constexpr const char* kLogTable = "Zaloha.db";
constexpr int kHelpTopic = 10;
constexpr int kDateWidth = 110;
constexpr int kTimeWidth = 100;

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setToolTip(hint);
    pushButton->setStatusTip(hint);
    return pushButton;
}

} // namespace

TZalhForm::TZalhForm(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_database(database),
      m_table(std::make_unique<store::Cursor>(database, kLogTable))
{
    setObjectName(QStringLiteral("ZalhForm"));
    setWindowTitle(texts::kZalhCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    m_table->open();

    auto* column = new QVBoxLayout(this);
    m_frame = new QGroupBox(texts::kFrameTitle, this);
    m_frame->setObjectName(QStringLiteral("GroupBox1"));
    auto* frameColumn = new QVBoxLayout(m_frame);
    frameColumn->setSpacing(0);

    // The two time columns share the title "Čas"; these labels above them tell them apart.
    m_labelStrip = new QWidget(m_frame);
    m_labelStrip->setObjectName(QStringLiteral("PanelPopisky"));
    LabelNaDiskety = new QLabel(texts::kLabelNaDiskety, m_labelStrip);
    LabelNaDiskety->setObjectName(QStringLiteral("LabelNaDiskety"));
    LabelNaDisk = new QLabel(texts::kLabelNaDisk, m_labelStrip);
    LabelNaDisk->setObjectName(QStringLiteral("LabelNaDisk"));
    for (QLabel* label : {LabelNaDiskety, LabelNaDisk})
        label->setAlignment(Qt::AlignCenter);
    m_labelStrip->setFixedHeight(LabelNaDisk->sizeHint().height() + 2);
    frameColumn->addWidget(m_labelStrip);

    DBGrid1 = new widgets::DBGrid(m_frame);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Values centred like the titles (the header centres them by itself).
    constexpr bool kReadOnly = true;
    DBGrid1->setDataSet(m_table.get(),
                        {{QStringLiteral("Datum"), texts::kColumnDatum, kDateWidth, kReadOnly, Qt::AlignCenter},
                         {QStringLiteral("Čas"), texts::kColumnCas, kTimeWidth, kReadOnly, Qt::AlignCenter},
                         {QStringLiteral("ČasDisk"), texts::kColumnCas, kTimeWidth, kReadOnly, Qt::AlignCenter}});
    frameColumn->addWidget(DBGrid1, 1);
    column->addWidget(m_frame, 1);

    auto* buttons = new QHBoxLayout;
    SpeedButton1 = button(this, "SpeedButton1", texts::kOznaceny, texts::kHintOznaceny);
    SpeedButtonVymazat = button(this, "SpeedButtonVymazat", texts::kVsechny, texts::kHintVsechny);
    ButtonZpet = button(this, "ButtonZpet", texts::kZpet, texts::kHintZpet);
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { widgets::guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButtonVymazat, &QPushButton::clicked, this,
            [this] { widgets::guarded([this] { SpeedButtonVymazatClick(); }); });
    connect(ButtonZpet, &QPushButton::clicked, this, [this] { ButtonZpetClick(); });
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButtonVymazat);
    buttons->addStretch(1);
    buttons->addWidget(ButtonZpet);
    column->addLayout(buttons);

    QHeaderView* header = DBGrid1->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this] { placeColumnLabels(); });
    connect(header, &QHeaderView::geometriesChanged, this, [this] { placeColumnLabels(); });
    m_gridViewport = DBGrid1->viewport();
    m_gridViewport->installEventFilter(this);

    resize(kDateWidth + 2 * kTimeWidth + 80, 320);
}

TZalhForm::~TZalhForm()
{
    // The grid observes the cursor, so it goes first; its last events find no labels to move.
    m_gridViewport->removeEventFilter(this);
    widgets::DBGrid* grid = DBGrid1;
    DBGrid1 = nullptr;
    delete grid;
}

void TZalhForm::logBackup(BackupKind kind)
{
    backup::logBackup(*m_table, kind, platform::services().clock->now().time());
}

bool TZalhForm::ask(const QString& question) const
{
    // A question without a sign: the application title, Yes and No.
    const platform::ShownBox box{platform::Dialogs::applicationTitle(), question, platform::Icon::None,
                                 {platform::Button::Yes, platform::Button::No}};
    return platform::services().dialogs->show(box) == platform::Button::Yes;
}

void TZalhForm::SpeedButton1Click()
{
    if (!ask(texts::kAskDeleteMarked))
        return;
    m_table->remove();
    sound::toneDeleted(m_speaker);
}

void TZalhForm::SpeedButtonVymazatClick()
{
    if (!ask(texts::kAskDeleteAll))
        return;
    m_table->close();
    m_database.emptyTable(kLogTable);
    sound::toneAllDeleted(m_speaker);
}

void TZalhForm::ButtonZpetClick()
{
    hide();
}

void TZalhForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placeColumnLabels();
}

bool TZalhForm::eventFilter(QObject* watched, QEvent* event)
{
    // Scrolling sideways or resizing moves the columns under the labels.
    if (DBGrid1 && watched == m_gridViewport && event->type() == QEvent::Resize)
        placeColumnLabels();
    return QWidget::eventFilter(watched, event);
}

void TZalhForm::placeColumnLabels()
{
    if (!DBGrid1)
        return;
    const QHeaderView* header = DBGrid1->horizontalHeader();
    // Both lie in the frame: the viewport's left edge in the strip's coordinates.
    const int offset = DBGrid1->viewport()->mapTo(m_frame, QPoint(0, 0)).x() - m_labelStrip->x();
    QLabel* const labels[] = {LabelNaDiskety, LabelNaDisk};
    for (int i = 0; i < 2; ++i) {
        const int section = i + 1;
        labels[i]->setGeometry(offset + header->sectionViewportPosition(section), 0,
                               header->sectionSize(section), m_labelStrip->height());
    }
}

} // namespace backup
