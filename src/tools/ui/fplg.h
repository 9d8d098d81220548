#pragma once
// Flame-head setting of the burner: rating-plate range and outputs, a slider for the
// setting e, the indicator on the working-range diagram and the boiler output. The four
// rating-plate values are kept in "PLG.txt" of the object.

#include <QDialog>
#include <QPixmap>

#include "app/ui/workbench.h"
#include "tools/flamehead.h"

class QLabel;
class QLayout;
class QLineEdit;
class QSlider;

namespace tools {

// The picture of the burner's working range with the marker lines drawn over it, scaled
// with the picture; the output labels stand under the markers.
class FlameHeadDiagram : public QWidget {
    Q_OBJECT
public:
    explicit FlameHeadDiagram(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
    void setModel(const FlameHead* model) { model_ = model; }
    // Pixels per twip of the picture as drawn now.
    double scale() const;
    // A twips point of the diagram in widget pixels.
    QPointF toPixels(const QPointF& twips) const;
    QSize sizeHint() const override;
    void refresh();

    QLabel *Lmin, *Lmax, *Lt, *Open, *Closed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeLabels();
    QRect pictureRect() const;
    QPixmap picture_;
    const FlameHead* model_ = nullptr;
};

class fPlG : public QDialog {
    Q_OBJECT
public:
    explicit fPlG(app::Workbench& wb);

    QLineEdit *e1, *e2, *TQ1, *TQ2, *Text1;
    QLabel *Lmin, *Lmax, *Lt, *Lg, *Lk;
    QLabel* Problem;
    QLabel* Label4[2];
    QSlider* Slider1;
    FlameHeadDiagram* Image1;

    const FlameHead& model() const { return model_; }
    void fPlG_Slider1_Scroll(int value);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    // The window's parts top to bottom: the rating plate's fields, the slider, the outputs.
    QLayout* buildPlate();
    QLayout* buildSlider();
    QLayout* buildResult();
    void connectFields();
    // Puts the object's rating-plate values into the fields, telling a missing or short file.
    void loadPlate();
    void show_();
    bool written_ = false;
    // the file was there but could not be read: it is written back only when the user
    // changed the values and agreed to replace the damaged file
    bool damaged_ = false;
    QString damage_;
    QStringList opened_;  // the values as the window opened with them

    app::Workbench& wb_;
    FlameHead model_;
};

}  // namespace tools
