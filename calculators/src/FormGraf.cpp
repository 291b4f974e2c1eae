#include "calculators/FormGraf.h"

#include "FormSupport.h"
#include "WeightTexts.h"
#include "calculators/WeightGraph.h"

#include "platform/Platform.h"
#include "store/DataSet.h"
#include "widgets/ErrorReport.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace calculators {

namespace {

namespace texts = weighttexts;

constexpr int kHelpTopic = 13;
constexpr int kMarginWidth = 21;
const QColor kPurple(128, 0, 128);
const QColor kScaleBlue(0, 0, 255);

// The area the bars stand in: 30000 pixels wide, scrolled sideways. It keeps
// the weights it drew until the records or the name change, so scrolling and
// exposing repaint without reading the table again.
class GraphArea : public QWidget, public store::DisplayObserver {
public:
    GraphArea(store::DataSet& records, const QLabel& name, QWidget* parent)
        : QWidget(parent), m_records(records), m_name(name)
    {
        setObjectName(QStringLiteral("PaintBoxGraf"));
        setFixedSize(kGraphWidth, kGraphHeight);
        setAutoFillBackground(true);
        QPalette white = palette();
        white.setColor(QPalette::Window, Qt::white);
        setPalette(white);
        m_records.addObserver(this);
    }
    ~GraphArea() override { m_records.removeObserver(this); }

    void displayChanged(store::DisplayChange change) override
    {
        // A move alone changes no weight.
        if (change != store::DisplayChange::Current) {
            m_valid = false;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        widgets::guarded([&] {
            if (!m_valid || m_weightsOf != m_name.text()) {
                m_weightsOf = m_name.text();
                m_weights = weightsOf(m_records, m_weightsOf);
                m_valid = true;
            }
            QPainter painter(this);
            PainterCanvas canvas(painter);
            paintWeightGraph(canvas, m_weights, event->rect());
        });
    }

private:
    store::DataSet& m_records;
    const QLabel& m_name;
    QString m_weightsOf;
    std::vector<int> m_weights;
    bool m_valid = false;
};

// The fixed scale on the left margin, lined up with the drawing area.
class MarginScale : public QWidget {
public:
    explicit MarginScale(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("PaintBoxStupnice"));
        setFixedSize(kMarginWidth, kGraphHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(kScaleBlue);
        for (const ScaleLine& line : marginScale())
            painter.drawLine(line.x1, line.y, line.x2, line.y);
        QFont small = font();
        small.setPixelSize(8);
        painter.setFont(small);
        painter.setPen(Qt::black);
        const auto label = [&](int y, const QString& text) {
            painter.drawText(QRect(0, y - 5, 17, 10), Qt::AlignRight | Qt::AlignVCenter, text);
        };
        for (int kg : labelledWeights())
            label(weightY(kg), QString::number(kg));
        label(weightY(200), texts::kKg);
    }
};

} // namespace

TFormGraf::TFormGraf(store::DataSet& records, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormGraf"));
    setWindowTitle(texts::kGraphCaption);
    setProperty(platform::kHelpTopicProperty, kHelpTopic);

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    LabelJmeno = new QLabel(this);
    LabelJmeno->setObjectName(QStringLiteral("LabelJmeno"));
    colourText(LabelJmeno, kPurple, true);
    QFont large = LabelJmeno->font();
    large.setPointSize(16);
    LabelJmeno->setFont(large);
    BitBtnZpet = pushButton("BitBtnZpet", texts::kZpet, {}, this);
    top->addWidget(LabelJmeno, 1);
    top->addWidget(BitBtnZpet);
    column->addLayout(top);

    auto* graph = new QHBoxLayout;
    graph->setSpacing(0);
    auto* margin = new MarginScale(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBoxGraf"));
    m_scroll->setFrameStyle(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_area = new GraphArea(records, *LabelJmeno, m_scroll);
    m_scroll->setWidget(m_area);
    m_scroll->setFixedSize(459, kGraphHeight + m_scroll->horizontalScrollBar()->sizeHint().height());
    graph->addWidget(margin, 0, Qt::AlignTop);
    graph->addWidget(m_scroll, 0, Qt::AlignTop);
    graph->addStretch(1);
    column->addLayout(graph);

    connect(BitBtnZpet, &QPushButton::clicked, this, [this] { BitBtnZpetClick(); });
}

TFormGraf::~TFormGraf() = default;

void TFormGraf::showName(const QString& name)
{
    LabelJmeno->setText(name);
    m_area->update();
    showInFront(this);
}

QString TFormGraf::name() const
{
    return LabelJmeno->text();
}

void TFormGraf::BitBtnZpetClick()
{
    LabelJmeno->clear();
    close();
}

void TFormGraf::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Leaving the graph forgets whose it was.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        LabelJmeno->clear();
        m_area->update();
    }
}

} // namespace calculators
