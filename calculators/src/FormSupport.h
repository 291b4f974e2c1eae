#pragma once

// Small things the calculator windows share.

#include <QColor>
#include <QPixmap>
#include <QString>

class QPushButton;
class QWidget;

namespace calculators {

// Shows a window and brings it to the front.
void showInFront(QWidget* window);
// Text colour (labels and edits) and boldness of a control.
void colourText(QWidget* widget, const QColor& colour, bool bold);
// A push button by name; Enter on it presses it, as space does.
QPushButton* pushButton(const char* name, const QString& caption, const QString& hint, QWidget* parent);

// The drawn pictures: the calculator's thin and stout stick figures, and
// the full shopping cart with the red words "Uvažuj !".
QPixmap stickFiguresPicture();
QPixmap shoppingCartPicture();

} // namespace calculators
