#include "widgets/SpeedButton.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace widgets {

QIcon glyphIcon(const QString& symbol, const QColor& colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size * 3 / 4);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, symbol);
    return QIcon(pixmap);
}

QToolButton* speedButton(QWidget* parent, const char* objectName, const QString& hint,
                         const QString& symbol, const QColor& colour)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setIcon(glyphIcon(symbol, colour));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace widgets
