#pragma once

// The ruler between the editor's toolbar and its text: tick marks, a line,
// and three red markers for the first-line, left and right indents that the
// mouse drags sideways. The ruler only moves its markers; the editor turns a
// dropped marker into an indent.

#include <QFrame>

class QLabel;

namespace editor {

class RulerMarker;

class Ruler : public QFrame {
    Q_OBJECT
public:
    enum class Marker { First, Left, Right };

    explicit Ruler(QWidget* parent = nullptr);

    // BuildRuler: the tick marks' text.
    void setRulerText(const QString& text);
    QString rulerText() const { return m_text; }

    void placeMarkers(int firstLeft, int leftLeft, int rightLeft);
    int markerLeft(Marker marker) const;
    int dragOffset() const { return m_dragOffset; }
    bool dragging() const { return m_dragging; }
    QWidget* marker(Marker marker) const;
    QFrame* line() const { return m_line; }

    // The three steps of a drag, with x the pointer within the marker.
    void RulerItemMouseDown(Marker marker, int x);
    void RulerItemMouseMove(Marker marker, int x);
    void RulerItemMouseUp(Marker marker);

signals:
    void markerDropped(editor::Ruler::Marker marker);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RulerResize();
    RulerMarker* markerWidget(Marker marker) const;

    QString m_text;
    QFrame* m_line = nullptr;
    RulerMarker* m_first = nullptr;
    RulerMarker* m_left = nullptr;
    RulerMarker* m_right = nullptr;
    bool m_dragging = false;
    int m_dragOffset = 0;
};

} // namespace editor
