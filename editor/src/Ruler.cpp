#include "editor/Ruler.h"

#include "editor/RulerGeometry.h"

#include "EditorTexts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTextOption>

namespace editor {

namespace {

constexpr int kMarkerWidth = 10;
constexpr int kMarkerHeight = 8;
constexpr int kLineTop = 11;
constexpr int kRulerHeight = 24;
constexpr int kTabCharacters = 8;

} // namespace

// A red arrow the mouse drags; it tells the ruler what the mouse does.
class RulerMarker : public QWidget {
public:
    RulerMarker(Ruler* ruler, Ruler::Marker kind, bool pointsDown)
        : QWidget(ruler), m_ruler(ruler), m_kind(kind), m_down(pointsDown)
    {
        setFixedSize(kMarkerWidth, kMarkerHeight);
        setCursor(Qt::SizeHorCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::red);
        painter.setPen(Qt::darkRed);
        const int w = width() - 1;
        const int h = height() - 1;
        const QPolygon arrow = m_down ? QPolygon({QPoint(0, 0), QPoint(w, 0), QPoint(w / 2, h)})
                                      : QPolygon({QPoint(w / 2, 0), QPoint(w, h), QPoint(0, h)});
        painter.drawPolygon(arrow);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_ruler->RulerItemMouseDown(m_kind, qRound(event->position().x()));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        m_ruler->RulerItemMouseMove(m_kind, qRound(event->position().x()));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_ruler->RulerItemMouseUp(m_kind);
    }

private:
    Ruler* m_ruler;
    Ruler::Marker m_kind;
    bool m_down;
};

Ruler::Ruler(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setToolTip(texts::kHintRuler);
    setStatusTip(texts::kHintRuler);
    setFixedHeight(kRulerHeight);
    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("RulerLine"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);
    m_line->setGeometry(ruler::kLineOffset, kLineTop, 100, 2);

    m_first = new RulerMarker(this, Marker::First, true);
    m_first->setObjectName(QStringLiteral("FirstInd"));
    m_first->setToolTip(texts::kHintFirstInd);
    m_first->setStatusTip(texts::kHintFirstInd);
    m_first->move(2, kLineTop - kMarkerHeight);
    m_left = new RulerMarker(this, Marker::Left, false);
    m_left->setObjectName(QStringLiteral("LeftInd"));
    m_left->setToolTip(texts::kHintLeftInd);
    m_left->setStatusTip(texts::kHintLeftInd);
    m_left->move(2, kLineTop + 2);
    m_right = new RulerMarker(this, Marker::Right, false);
    m_right->setObjectName(QStringLiteral("RightInd"));
    m_right->setToolTip(texts::kHintRightInd);
    m_right->setStatusTip(texts::kHintRightInd);
    m_right->move(100, kLineTop + 2);
}

void Ruler::setRulerText(const QString& text)
{
    m_text = text;
    update();
}

RulerMarker* Ruler::markerWidget(Marker marker) const
{
    switch (marker) {
    case Marker::First:
        return m_first;
    case Marker::Left:
        return m_left;
    case Marker::Right:
        return m_right;
    }
    return m_first;
}

QWidget* Ruler::marker(Marker marker) const
{
    return markerWidget(marker);
}

int Ruler::markerLeft(Marker marker) const
{
    return markerWidget(marker)->x();
}

void Ruler::placeMarkers(int firstLeft, int leftLeft, int rightLeft)
{
    m_first->move(firstLeft, m_first->y());
    m_left->move(leftLeft, m_left->y());
    m_right->move(rightLeft, m_right->y());
}

void Ruler::RulerItemMouseDown(Marker marker, int x)
{
    RulerMarker* item = markerWidget(marker);
    m_dragOffset = ruler::dragOffset(item->width());
    item->move(ruler::draggedLeft(item->x(), x, m_dragOffset), item->y());
    m_dragging = true;
}

void Ruler::RulerItemMouseMove(Marker marker, int x)
{
    if (!m_dragging)
        return;
    RulerMarker* item = markerWidget(marker);
    item->move(ruler::draggedLeft(item->x(), x, m_dragOffset), item->y());
}

void Ruler::RulerItemMouseUp(Marker marker)
{
    m_dragging = false;
    Q_EMIT markerDropped(marker);
}

void Ruler::RulerResize()
{
    m_line->setGeometry(ruler::kLineOffset, kLineTop, ruler::lineWidth(contentsRect().width()), 2);
}

void Ruler::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    RulerResize();
}

void Ruler::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPointSize(6);
    painter.setFont(small);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(kTabCharacters * painter.fontMetrics().averageCharWidth());
    painter.drawText(contentsRect().adjusted(0, kLineTop + 2, 0, 0), m_text, option);
}

} // namespace editor
