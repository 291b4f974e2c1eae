#include "EditorIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace editor::detail {

namespace {

constexpr int kSize = 32; // drawn large, shown smaller

void drawScissors(QPainter& p)
{
    p.setPen(QPen(QColor(70, 70, 70), 2.5, Qt::SolidLine, Qt::RoundCap));
    // Blades from the pivot up to their points, crossing.
    p.drawLine(QPointF(11, 20), QPointF(22, 3));
    p.drawLine(QPointF(21, 20), QPointF(10, 3));
    // Handles: two rings below the pivot.
    p.setPen(QPen(QColor(190, 30, 30), 2.5));
    p.drawEllipse(QPointF(9, 25), 4.5, 4.5);
    p.drawEllipse(QPointF(23, 25), 4.5, 4.5);
}

void drawPage(QPainter& p, const QRectF& page)
{
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(page);
    p.setPen(QPen(QColor(120, 140, 180), 1.5));
    for (qreal y = page.top() + 5; y < page.bottom() - 3; y += 4)
        p.drawLine(QPointF(page.left() + 3, y), QPointF(page.right() - 3, y));
}

void drawCopy(QPainter& p)
{
    drawPage(p, QRectF(3, 3, 16, 20));
    drawPage(p, QRectF(12, 9, 16, 20));
}

void drawPaste(QPainter& p)
{
    // The board and its clip, with a page on it.
    p.setPen(QPen(QColor(100, 70, 30), 1.5));
    p.setBrush(QColor(190, 140, 80));
    p.drawRoundedRect(QRectF(4, 5, 20, 25), 2, 2);
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(9, 2, 10, 6), 1.5, 1.5);
    drawPage(p, QRectF(13, 12, 16, 18));
}

QIcon drawn(EditIcon kind)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case EditIcon::Cut:
        drawScissors(painter);
        break;
    case EditIcon::Copy:
        drawCopy(painter);
        break;
    case EditIcon::Paste:
        drawPaste(painter);
        break;
    }
    return QIcon(pixmap);
}

QString themeName(EditIcon kind)
{
    switch (kind) {
    case EditIcon::Cut:
        return QStringLiteral("edit-cut");
    case EditIcon::Copy:
        return QStringLiteral("edit-copy");
    case EditIcon::Paste:
        break;
    }
    return QStringLiteral("edit-paste");
}

} // namespace

QIcon editIcon(EditIcon kind)
{
    const QString name = themeName(kind);
    return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : drawn(kind);
}

} // namespace editor::detail
