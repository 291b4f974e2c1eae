#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QToolButton;
class QWidget;

namespace widgets {

// A toolbar glyph drawn from a symbol of the DejaVu font, so no picture files are needed.
QIcon glyphIcon(const QString& symbol, const QColor& colour, int size = 24);

// A toolbar button with a glyph and its hint (tooltip and status tip). Like
// the old speed buttons, pressing one leaves the focus where it was.
QToolButton* speedButton(QWidget* parent, const char* objectName, const QString& hint,
                         const QString& symbol, const QColor& colour);

// Fills the widget's background with the colour.
void setBackground(QWidget* widget, const QColor& colour);
// Sets the colour of the widget's text (labels, buttons).
void setTextColour(QWidget* widget, const QColor& colour);

} // namespace widgets
