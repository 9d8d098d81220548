#pragma once
// Flame-head setting of a burner: from the rating-plate range of the flame-head parameter e
// and the burner outputs at both ends of it, the output at a chosen setting by straight-line
// interpolation, the position of the indicator on the working-range diagram, and the
// boiler output from a boiler efficiency. The four rating-plate values live in "PLG.txt".
//
// Diagram coordinates are twips (1/1440 inch) over the picture, x to the right, y down.

#include <QPointF>
#include <QString>
#include <QStringList>

namespace tools {

struct DiagramLine {
    QPointF from, to;
    bool operator==(const DiagramLine&) const = default;
};
struct LinePair {
    DiagramLine vertical, slanted;
    LinePair shifted(double dx) const;
    bool operator==(const LinePair&) const = default;
};

// Markers of the smaller (L0) and the larger (L2) output, and the indicator as designed (L1).
LinePair MarkerL0();
LinePair MarkerL2();
LinePair IndicatorDesigned();
constexpr int kScaleLength = 2040;  // twips between the two markers

inline const QString kPlgFile = QStringLiteral("PLG.txt");

// The window's fields and what it shows, without the widgets.
struct FlameHead {
    // inputs, initial texts as designed
    QString e1, e2 = QStringLiteral(" "), TQ1 = QStringLiteral(" "), TQ2 = QStringLiteral(" ");
    QString Text1 = QStringLiteral("90");

    // slider
    bool sliderEnabled = false;
    int sliderMin = 0, sliderMax = 10, sliderValue = 0;

    // outputs
    QString Lmin, Lmax, Lt, Lg, Lk, Label4_0, Label4_1;
    LinePair L1 = IndicatorDesigned();
    bool L1Visible = false;

    // change handlers
    void e1Changed(const QString& text);
    void e2Changed(const QString& text);
    void TQ1Changed(const QString& text);
    void TQ2Changed(const QString& text);
    // The slider moved to v (kept within its range).
    void sliderMoved(int v);

    // Slider range from e1 and e2 (each rounded, ties to even); disabled unless e2 > e1.
    void updateRange();
    // Outputs and indicator from TQ1 and TQ2.
    void layout();
    // What the window shows once any value changed or the window opened: the outputs at the
    // slider's setting, or none and the reason when the rating plate gives no range to set.
    void recompute();
    QString problem;

    QStringList stored() const { return {e1, e2, TQ1, TQ2}; }
};

// Reads "PLG.txt". `values` gets the four texts exactly as stored, numbers or not (the
// window keeps what was typed); a missing line leaves `present[i]` false and `complete`
// false. A missing file is no error and leaves `exists` false.
struct PlgContents {
    bool exists = false;
    bool complete = true;
    QStringList values = QStringList(4);
    bool present[4] = {false, false, false, false};
};
bool ReadPlg(const QString& objectFolder, PlgContents& out, QString* error = nullptr);
// Writes the four values, quoted, exactly as typed.
bool WritePlg(const QString& objectFolder, const QStringList& values, QString* error = nullptr);

}  // namespace tools
