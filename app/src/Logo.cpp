#include "app/Logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace app {

QPixmap logoPixmap(int height)
{
    const int width = height * 2;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(255, 236, 140));
    gradient.setColorAt(1, QColor(214, 160, 30));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(128, 0, 0), 1.5));
    painter.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), height / 5.0, height / 5.0);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(height * 11 / 20);
    font.setBold(true);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRect(0, 0, width, height), Qt::AlignCenter, QStringLiteral("Pelmir"));
    return pixmap;
}

} // namespace app
