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
class QListWidget;
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
    bool withScales_;
    bool scalesShown_ = false;
    QPixmap picture_;
    Ranges ranges_;
    GraphData last_;
    QColor lastColor_ = Qt::black;
};

class Graf : public QWidget, public app::ObjectWindowEvents {
    Q_OBJECT
public:
    explicit Graf(app::Workbench& wb);

    QLabel *Label1, *Label2;
    GraphCanvas* Picture1;
    QFrame* Frame1;
    QListWidget *ListY, *ListX;  // List1(0) and List1(1)
    QLabel *LsrY, *LsrX;         // Lsr(0) and Lsr(1)
    QPushButton* SavePicture;

    // Collects the points of the current selection, draws curve and scale values. Returns
    // false when a regime of the selection could not be read (the caller reports it).
    bool fullRedraw();
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
};

class Grafmin : public QWidget {
    Q_OBJECT
public:
    explicit Grafmin(app::Workbench& wb);
    ~Grafmin() override;
    GraphCanvas* Picture1;
    // Draws the graph editor's points, always clearing first, without grid or scales.
    void DrawMiniGraph();

private:
    app::Workbench& wb_;
};

}  // namespace results
