#include "calculators/FormData.h"

#include "FormSupport.h"
#include "WeightTexts.h"
#include "calculators/FormGraf.h"
#include "calculators/HlavniForm.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "store/Query.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/LetterCase.h"
#include "widgets/UnsavedWork.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace calculators {

namespace {

namespace texts = weighttexts;

constexpr int kHelpTopic = 13;
constexpr int kRowHeight = 17;
const QColor kGridBody(211, 211, 211);
const QColor kNavy(0, 0, 128);

// Only the name is typed in the grid; the rest comes from the calculator and the table.
QList<widgets::GridColumn> recordColumns()
{
    return {{QStringLiteral("Jméno"), QStringLiteral("Jméno"), 150},
            {QStringLiteral("Datum"), QStringLiteral("Datum"), 80, true},
            {QStringLiteral("Výška"), QStringLiteral("Výška"), 60, true},
            {QStringLiteral("Váha"), QStringLiteral("Váha"), 60, true},
            {QStringLiteral("Kategorie"), QStringLiteral("Kategorie"), 170, true}};
}

} // namespace

TFormData::TFormData(store::Database& database, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_table(std::make_unique<store::Cursor>(database, "Data.DB")),
      m_query(std::make_unique<store::Query>(database))
{
    setObjectName(QStringLiteral("FormData"));
    setWindowTitle(texts::kCaption);
    m_pending = std::make_unique<widgets::PendingRecord>(*this, *m_table);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    m_table->open();

    auto* column = new QVBoxLayout(this);
    m_gridArea = new QWidget(this);
    auto* areaLayout = new QVBoxLayout(m_gridArea);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    DBGrid = new widgets::DBGrid(m_gridArea);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setCellColors(kGridBody, kNavy);
    DBGrid->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: #0000ff; color: #ffffff; font-weight: bold; }"));
    DBGrid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    DBGrid->setDataSet(m_table.get(), recordColumns());
    areaLayout->addWidget(DBGrid);
    column->addWidget(m_gridArea, 1);
    column->addWidget(createButtons());

    createSelectionPanel(m_gridArea);
    ImageCoStim = new QLabel(m_gridArea);
    ImageCoStim->setObjectName(QStringLiteral("ImageCoStim"));
    ImageCoStim->setPixmap(shoppingCartPicture());
    ImageCoStim->setFixedSize(200, 100);
    ImageCoStim->hide();

    resize(600, 360);
}

TFormData::~TFormData()
{
    // The grid observes the cursor and the selection, which go before the children do.
    DBGrid->setDataSet(nullptr, {});
}

QWidget* TFormData::createButtons()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    BitBtnPridat = pushButton("BitBtnPridat", texts::kPridat, texts::kHintPridat, bar);
    BitBtnSmazat = pushButton("BitBtnSmazat", texts::kSmazat, texts::kHintSmazat, bar);
    BitBtnUlozit = pushButton("BitBtnUlozit", texts::kUlozit, texts::kHintUlozit, bar);
    BitBtnZrusit = pushButton("BitBtnZrusit", texts::kZrusit, texts::kHintZrusit, bar);
    BitBtnVybrat = pushButton("BitBtnVybrat", texts::kVybrat, texts::kHintVybrat, bar);
    BitBtnGraf = pushButton("BitBtnGraf", texts::kGraf, {}, bar);
    SpeedButtonCoStim = pushButton("SpeedButtonCoStim", texts::kCoStim, texts::kHintCoStim, bar);
    SpeedButtonCoStim->setCheckable(true);
    BitBtnZpet = pushButton("BitBtnZpet", texts::kZpet, {}, bar);
    for (QPushButton* b : {BitBtnPridat, BitBtnSmazat, BitBtnUlozit, BitBtnZrusit, BitBtnVybrat, BitBtnGraf,
                           SpeedButtonCoStim, BitBtnZpet})
        row->addWidget(b);

    const auto bind = [this](QPushButton* b, void (TFormData::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { widgets::guarded([&] { (this->*handler)(); }); });
    };
    bind(BitBtnPridat, &TFormData::BitBtnPridatClick);
    bind(BitBtnSmazat, &TFormData::BitBtnSmazatClick);
    bind(BitBtnUlozit, &TFormData::BitBtnUlozitClick);
    bind(BitBtnZrusit, &TFormData::BitBtnZrusitClick);
    bind(BitBtnVybrat, &TFormData::BitBtnVybratClick);
    bind(BitBtnGraf, &TFormData::BitBtnGrafClick);
    bind(BitBtnZpet, &TFormData::BitBtnZpetClick);
    connect(SpeedButtonCoStim, &QPushButton::toggled, this, [this](bool down) { SpeedButtonCoStimClick(down); });
    return bar;
}

void TFormData::createSelectionPanel(QWidget* area)
{
    PanelDotaz = new QFrame(area);
    PanelDotaz->setObjectName(QStringLiteral("PanelDotaz"));
    PanelDotaz->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelDotaz->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(PanelDotaz);
    auto* caption = new QLabel(texts::kHledaneJmeno, PanelDotaz);
    Edit1 = new QLineEdit(PanelDotaz);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setValidator(new widgets::LetterCaseValidator(widgets::LetterCaseValidator::Case::Upper, Edit1));
    Edit1->installEventFilter(this);
    caption->setBuddy(Edit1);
    BitBtnVyber = pushButton("BitBtnVyber", texts::kVyber, {}, PanelDotaz);
    BitBtnPanelZpet = pushButton("BitBtnPanelZpet", texts::kZpet, {}, PanelDotaz);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtnVyber);
    buttons->addWidget(BitBtnPanelZpet);
    layout->addWidget(caption);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    PanelDotaz->adjustSize();
    PanelDotaz->hide();
    connect(BitBtnVyber, &QPushButton::clicked, this, [this] { widgets::guarded([this] { BitBtnVyberClick(); }); });
    connect(BitBtnPanelZpet, &QPushButton::clicked, this,
            [this] { widgets::guarded([this] { BitBtnPanelZpetClick(); }); });
}

void TFormData::placeFloating()
{
    const QRect area = m_gridArea->rect();
    const QSize panel = PanelDotaz->sizeHint();
    PanelDotaz->setGeometry(area.right() - panel.width() - 20, area.bottom() - panel.height() - 20,
                            panel.width(), panel.height());
    ImageCoStim->move(area.center() - QPoint(ImageCoStim->width() / 2, ImageCoStim->height() / 2));
}

void TFormData::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeFloating();
}

bool TFormData::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::MouseButtonPress)
        widgets::guarded([this] { Edit1Click(); });
    return QWidget::eventFilter(watched, event);
}

void TFormData::showTable()
{
    if (DBGrid->dataSet() != m_table.get())
        DBGrid->setDataSet(m_table.get(), recordColumns());
}

void TFormData::BitBtnPridatClick()
{
    const QString height = m_calculator ? m_calculator->heightText() : QString();
    const QString weight = m_calculator ? m_calculator->weightText() : QString();
    const QString category = m_calculator ? m_calculator->categoryText() : QString();
    // At the end: the table is read in stored order and the graph puts the
    // latest measurement first.
    m_table->append();
    try {
        m_table->setText("Výška", height.toStdString());
        m_table->setText("Váha", weight.toStdString());
    } catch (const store::StoreError&) {
        m_table->cancel();
        throw std::runtime_error(texts::kNotWholeNumbers.toStdString());
    }
    m_table->setText("Kategorie", category.toStdString());
    // The name is typed into the grid's first column.
    DBGrid->setFocus();
    DBGrid->setCurrentIndex(DBGrid->model()->index(m_table->currentRow(), 0));
}

void TFormData::BitBtnSmazatClick()
{
    if (m_table->rowCount() == 0)
        throw store::StoreError(store::StoreError::Kind::EmptyDataset, store::kEmptyDatasetMessage);
    const QString question = texts::kDeleteQuestion.arg(QString::fromStdString(m_table->text("Jméno")),
                                                        QString::fromStdString(m_table->text("Datum")));
    if (platform::services().dialogs->confirm(question))
        m_table->remove();
}

void TFormData::BitBtnUlozitClick()
{
    m_table->post();
}

void TFormData::BitBtnZrusitClick()
{
    m_table->cancel();
}

void TFormData::BitBtnVybratClick()
{
    placeFloating();
    PanelDotaz->show();
    PanelDotaz->raise();
    BitBtnGraf->setEnabled(false);
    Edit1->setFocus();
}

void TFormData::BitBtnVyberClick()
{
    m_query->setSql((texts::kSelectBefore + Edit1->text() + texts::kSelectAfter).toStdString());
    m_query->open();
    DBGrid->setDataSet(m_query.get(), recordColumns());
    sound::beep();
}

void TFormData::BitBtnPanelZpetClick()
{
    PanelDotaz->hide();
    showTable();
    BitBtnGraf->setEnabled(true);
    DBGrid->setFocus();
}

void TFormData::Edit1Click()
{
    showTable();
}

void TFormData::BitBtnGrafClick()
{
    if (m_graph)
        m_graph->showName(QString::fromStdString(m_table->text("Jméno")));
}

void TFormData::SpeedButtonCoStimClick(bool down)
{
    if (down) {
        placeFloating();
        ImageCoStim->show();
        ImageCoStim->raise();
    } else {
        ImageCoStim->hide();
    }
}

void TFormData::BitBtnZpetClick()
{
    close();
}

} // namespace calculators
