#pragma once
// The charts of one load step, drawn with the program's own graph style: q2 + q3 against O2
// with the measured points and the fitted parabola; CO against O2 with the points, the fitted
// exponential and the ceiling; on both the rich limit and the set point with its band. Also
// the workbook of the steps' table.

#include <QImage>
#include <QPainter>
#include <QRectF>

#include "tuning/tuning.h"

namespace tuning {

enum class Chart { Losses, Co };

// Draws the chart of `step` into `area` (captions above and scale values around it included).
void DrawStepChart(QPainter& p, const QRectF& area, const TuneStep& step, Chart chart,
                   const QLocale& locale = QLocale());

// Both charts of a step side by side.
QImage RenderStep(const TuneStep& step, const QSize& size = QSize(1000, 380), const QLocale& locale = QLocale());

// "Оптимальный избыток воздуха.xlsx" in the object folder: the steps' table and, per step
// with enough regimes, its points and fitted values.
inline const QString kTuningWorkbook = QStringLiteral("Оптимальный избыток воздуха.xlsx");
bool WriteTuningWorkbook(const QString& path, const QString& objectName, const QList<TuneStep>& steps,
                         QString* error = nullptr);

}  // namespace tuning
