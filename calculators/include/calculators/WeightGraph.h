#pragma once

// The weight graph's pixel rules: 1 pixel per kilogram above a baseline 10
// pixels over the bottom of the drawing area, a blue scale, and one bar per
// measurement of a person, the latest leftmost, 7 pixels wide on a 9-pixel pitch.

#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace store {
class DataSet;
}

namespace calculators {

inline constexpr int kGraphWidth = 30000;
inline constexpr int kGraphHeight = 225;
inline constexpr int kBaselineAboveBottom = 10;
inline constexpr int kBarPitch = 9;
inline constexpr int kBarWidth = 7;

// The y of the baseline (0 kg) and of a weight in an area of that height.
inline constexpr int baselineY(int areaHeight = kGraphHeight)
{
    return areaHeight - kBaselineAboveBottom;
}
inline constexpr int weightY(int kilograms, int areaHeight = kGraphHeight)
{
    return baselineY(areaHeight) - kilograms;
}

// The n-th bar (0 for the first drawn) of a weight: left edge 9n + 2, right
// edge 9n + 9 exclusive, from the baseline up by the weight. The position is
// a full int: the 257th bar stands right of the 256th.
QRect barRect(int n, int weight, int areaHeight = kGraphHeight);

struct ScaleLine {
    int x1 = 0;
    int y = 0;
    int x2 = 0; // exclusive
    bool operator==(const ScaleLine&) const = default;
};
// The drawing area's scale: lines across the width at 0, 50, 100 and 150 kg,
// ticks 3 pixels long at the left edge at the other tens up to 160 kg.
std::vector<ScaleLine> areaScale(int areaWidth = kGraphWidth, int areaHeight = kGraphHeight);
// The fixed scale on the window's margin: long ticks from x = 17, short ones
// from x = 18, all to x = 20, lined up with the drawing area.
std::vector<ScaleLine> marginScale(int areaHeight = kGraphHeight);
// The kilograms the margin labels: 0, 50, 100, 150.
std::vector<int> labelledWeights();

// The weights of every record whose `Jméno` equals the name exactly (case and
// accents included), from the last record back to the first, read without
// moving the data set's position (a pending record counts as it stands).
// `Váha` reads as a whole number; an empty one is 0.
std::vector<int> weightsOf(const store::DataSet& data, const QString& name);

// What the graph draws on, so its drawing can be recorded.
class GraphCanvas {
public:
    virtual ~GraphCanvas() = default;
    virtual void scaleLine(const ScaleLine& line) = 0;
    // A bar outlined in red and filled with white; the rectangle's right and
    // bottom edges are exclusive.
    virtual void bar(const QRect& rect) = 0;
};

// Draws the scale and the bars that meet the exposed part of the area.
void paintWeightGraph(GraphCanvas& canvas, const std::vector<int>& weights, const QRect& exposed,
                      int areaWidth = kGraphWidth, int areaHeight = kGraphHeight);

// The canvas of a real painter: blue scale, red outlines, white fill.
class PainterCanvas : public GraphCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : m_painter(painter) {}
    void scaleLine(const ScaleLine& line) override;
    void bar(const QRect& rect) override;

private:
    QPainter& m_painter;
};

} // namespace calculators
