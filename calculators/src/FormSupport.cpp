#include "FormSupport.h"

#include <QPainter>
#include <QPushButton>
#include <QWidget>

namespace calculators {

void showInFront(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void colourText(QWidget* widget, const QColor& colour, bool bold)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

QPushButton* pushButton(const char* name, const QString& caption, const QString& hint, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
        button->setStatusTip(hint);
    }
    button->setAutoDefault(true);
    return button;
}

namespace {

// A stick figure standing on y = 58 whose belly is `belly` pixels wide.
void stickFigure(QPainter& painter, int centre, int belly)
{
    painter.drawEllipse(QPoint(centre, 10), 6, 6);
    painter.drawEllipse(QRect(centre - belly / 2, 17, belly, 24));
    painter.drawLine(centre - belly / 2 + 1, 24, centre - belly / 2 - 8, 36); // arms
    painter.drawLine(centre + belly / 2 - 1, 24, centre + belly / 2 + 8, 36);
    painter.drawLine(centre - 3, 40, centre - 6, 58); // legs
    painter.drawLine(centre + 3, 40, centre + 6, 58);
}

} // namespace

QPixmap stickFiguresPicture()
{
    QPixmap pixmap(140, 62);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    painter.setBrush(QColor(255, 255, 200));
    stickFigure(painter, 38, 8);
    stickFigure(painter, 100, 34);
    return pixmap;
}

QPixmap shoppingCartPicture()
{
    QPixmap pixmap(200, 100);
    pixmap.fill(QColor(255, 255, 240));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));

    // The goods heaped in the basket.
    const QColor goods[] = {QColor(230, 60, 40), QColor(250, 200, 30), QColor(90, 170, 60),
                            QColor(160, 100, 40), QColor(240, 140, 30), QColor(200, 60, 160)};
    for (int i = 0; i < 9; ++i) {
        painter.setBrush(goods[i % 6]);
        painter.drawEllipse(QRect(18 + i * 10, 18 + (i % 3) * 5, 16, 16));
    }
    painter.setBrush(QColor(120, 80, 40));
    painter.drawRect(QRect(40, 10, 14, 22));
    painter.setBrush(QColor(240, 240, 255));
    painter.drawRect(QRect(76, 8, 18, 26));

    // The basket, its handle and wheels.
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.setBrush(Qt::NoBrush);
    const QPoint basket[] = {QPoint(12, 34), QPoint(118, 34), QPoint(108, 66), QPoint(24, 66)};
    painter.drawPolygon(basket, 4);
    for (int x = 26; x < 112; x += 12)
        painter.drawLine(x, 34, x - 2 + (x - 26) / 12, 66);
    painter.drawLine(18, 50, 113, 50);
    painter.drawLine(118, 34, 126, 24);
    painter.drawLine(126, 24, 136, 24);
    painter.drawLine(24, 66, 28, 74);
    painter.drawLine(28, 74, 108, 74);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawEllipse(QPoint(36, 82), 6, 6);
    painter.drawEllipse(QPoint(98, 82), 6, 6);

    // The warning.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(QRect(120, 40, 78, 50), Qt::AlignCenter, QStringLiteral("Uvažuj !"));
    return pixmap;
}

} // namespace calculators
