#pragma once
// The graph editor (axis captions, drawing area with scale values, data table) and the
// always-on-top mini graph.

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include "app/ui/workbench.h"
#include "results/plotter.h"

class QFrame;
class QLabel;
class QTableWidget;
class QPushButton;

namespace results {

// The drawing area and the scale values around it. Keeps its picture between paints so
// curves can be drawn one over another.
class GraphCanvas : public QWidget {
    Q_OBJECT
public:
    explicit GraphCanvas(bool withScales, QWidget* parent = nullptr);
    // Draws the points; `overlay` keeps what was drawn before and draws no grid.
    void draw(const GraphData& data, const QColor& curve, bool overlay);
    void clearPicture();
    QRectF area() const;  // the drawing area within the widget
    const Ranges& ranges() const { return ranges_; }
    bool hasScales() const { return scalesShown_; }
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensurePicture();
    void paintCurve(const GraphData& data, const QColor& curve, bool overlay);
    bool withScales_;
    bool scalesShown_ = false;
    QPixmap picture_;
    Ranges ranges_;
    // every curve on the picture since the last non-overlay draw, so a new size redraws all
    QList<QPair<GraphData, QColor>> curves_;
};

class Graf : public QWidget, public app::ObjectWindowEvents {
    Q_OBJECT
public:
    explicit Graf(app::Workbench& wb);

    QLabel *Label1, *Label2;
    GraphCanvas* Picture1;
    QFrame* Frame1;
    // the data table: column 0 the X values (List1(1)), column 1 the Y values (List1(0)),
    // one row per point and a last row "Сред." with the means (Lsr(1), Lsr(0))
    QTableWidget* Table1;
    int pointRows() const;       // rows of points, the means row not counted
    QString meanX() const;
    QString meanY() const;
    QPushButton* SavePicture;

    // Collects the points of the current selection, draws curve and scale values. Returns
    // false when a regime of the selection could not be read (the caller reports it).
    bool fullRedraw();
    // Collects the points into the data table without drawing; false as fullRedraw.
    bool collect();
    void setCaptions(const QString& y, const QString& x);
    void showTable(bool shown);
    bool tableShown() const;
    const GraphData& data() const { return data_; }
    QColor curveColor() const { return color_; }
    void setCurveColor(const QColor& c) { color_ = c; }
    // Saves the drawing (captions, scale values, curve) as a PNG picture the user names.
    void savePicture();

    void activated() override;

private:
    void fillTable();
    app::Workbench& wb_;
    GraphData data_;
    QColor color_ = Qt::black;
    QRect beforeTable_;  // the window's place before the table widened it
};

class Grafmin : public QWidget {
    Q_OBJECT
public:
    explicit Grafmin(app::Workbench& wb);
    ~Grafmin() override;
    GraphCanvas* Picture1;
    // Draws the graph editor's points, always clearing first, without grid or scales.
    void DrawMiniGraph();
    // RefreshMiniGraph: collects the graph editor's points again and draws them here only;
    // the graph editor's own picture is left as it is (in overlay mode it would gain a curve).
    void RefreshMiniGraph();

private:
    app::Workbench& wb_;
};

}  // namespace results
