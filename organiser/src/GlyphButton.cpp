#include "organiser/GlyphButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace organiser {

namespace {
constexpr int kMargin = 6;
}

GlyphButton::GlyphButton(QWidget* parent) : QPushButton(parent) {}

void GlyphButton::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    updateGeometry();
    update();
}

void GlyphButton::setSpacing(int pixels)
{
    m_spacing = pixels;
    updateGeometry();
    update();
}

QSize GlyphButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, this->text());
    const int glyphWidth = m_glyph.isNull() ? 0 : m_glyph.width() + m_spacing;
    const int height = std::max(text.height(), m_glyph.isNull() ? 0 : m_glyph.height());
    return {kMargin * 2 + glyphWidth + text.width(), height + kMargin};
}

void GlyphButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    // Picture and caption together, centred as one block.
    const QString caption = text();
    const int textWidth = fontMetrics().horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
    const int glyphWidth = m_glyph.isNull() ? 0 : m_glyph.width() + m_spacing;
    int x = std::max(kMargin, (width() - glyphWidth - textWidth) / 2);
    if (!m_glyph.isNull()) {
        painter.drawPixmap(x, (height() - m_glyph.height()) / 2, m_glyph);
        x += glyphWidth;
    }
    const QRect textRect(x, 0, width() - x, height());
    painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         palette(), isEnabled(), caption, QPalette::ButtonText);
}

} // namespace organiser
