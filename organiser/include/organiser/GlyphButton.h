#pragma once

#include <QPixmap>
#include <QPushButton>

namespace organiser {

// A push button with a picture left of its caption and a chosen gap between
// the two, like the old bitmap buttons (Qt's buttons have no such gap).
class GlyphButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
public:
    explicit GlyphButton(QWidget* parent = nullptr);

    void setGlyph(const QPixmap& glyph);
    const QPixmap& glyph() const { return m_glyph; }
    void setSpacing(int pixels);
    int spacing() const { return m_spacing; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_glyph;
    int m_spacing = 4;
};

} // namespace organiser
