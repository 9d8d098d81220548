#pragma once
// Drawing a graph with QPainter: grid, curve, blue points and scale values. Used by the
// graph editor, the mini graph and the PNG export, so all three look the same.

#include <QColor>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRectF>

#include "results/plotter.h"

namespace results {

struct CurveStyle {
    QColor curve = Qt::black;
    QColor grid = QColor(240, 240, 240);
    QColor background = QColor(224, 224, 224);
    bool clear = true;  // clear the area first (off in overlay mode)
    bool grid5 = true;  // draw the 5 x 5 grid (the mini graph draws none)
};

// Draws into `area` (device coordinates) the points of `data`, scaled to that area.
void DrawCurve(QPainter& p, const QRectF& area, const GraphData& data, const CurveStyle& style);

// Prints the six X scale values under `area` and the six Y values to its left.
void DrawAxisLabels(QPainter& p, const QRectF& area, const Ranges& ranges, const QLocale& locale = QLocale());

// A complete picture of a graph for reports: captions, scale values, grid, curve, points,
// and a note when there is nothing to plot.
QImage RenderGraphImage(const GraphData& data, const QString& yCaption, const QString& xCaption,
                        const QString& title, const QColor& curve = Qt::black, const QSize& size = QSize(900, 620),
                        const QLocale& locale = QLocale());

// Writes the picture as a PNG file atomically: a failure (full disk, read-only folder) keeps
// the old file and says why, naming it.
bool SaveGraphPng(const QString& path, const QImage& image, QString* error = nullptr);

}  // namespace results
