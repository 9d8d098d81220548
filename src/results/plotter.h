#pragma once
// The plotter: one point per ticked regime, the ranges with a 10 % margin, positions in a
// drawing area and the scale values. Drawing itself is in graphpainter.h.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "app/state.h"

namespace results {

struct GraphData {
    QList<float> x, y;  // point k is (x[k], y[k]), in the order of the ticked rows
    QStringList regimes;  // the regime file of each point
    QStringList doubtful;  // per point: why its plotted result cannot be right, or empty
    bool empty() const { return x.isEmpty(); }
};

// Reads the point of every ticked row of the regime list, through private arrays, so the
// current regime and its arrays stay as they are. Fails when a regime file or results file
// of a ticked row cannot be read, or when the selection is not chosen.
bool CollectGraphData(const app::AppState& s, GraphData& data, QString* error = nullptr);

// Means shown under the data table: "Сред." when there are no points.
QString MeanText(const QList<float>& values, const QLocale& locale = QLocale());

struct Ranges {
    float maxX = 0, minX = 0, upperX = 0, lowerX = 0;
    float maxY = 0, minY = 0, upperY = 0, lowerY = 0;
    float scaleX = 0, scaleY = 0;  // data units per drawing unit
};

// Ranges of the points for a drawing area of width W and height H. No points give zeros.
Ranges ComputeRanges(const GraphData& data, double width, double height);
// The ranges as the graph windows draw them: each axis widened to five round steps (1, 2,
// 2.5 or 5 times a power of ten), so the six scale values read 0.2 / 0.4 / ... rather than
// 0.219 / 0.389; a single value keeps its plain range.
Ranges GraphRanges(const GraphData& data, double width, double height);
double PointX(const Ranges& r, float x, double width);
double PointY(const Ranges& r, float y, double height);

// One scale value: rounded to 3 decimals (ties to even), the locale's format, a blank in
// place of the sign of a non-negative value.
QString ScaleText(double value, const QLocale& locale = QLocale());
// The six values under the area (LowerX .. UpperX) and to its left (UpperY .. LowerY).
QStringList ScaleValuesX(const Ranges& r, const QLocale& locale = QLocale());
QStringList ScaleValuesY(const Ranges& r, const QLocale& locale = QLocale());

}  // namespace results
