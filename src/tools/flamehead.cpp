#include "tools/flamehead.h"

#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "tools/toolnumbers.h"
#include "tools/workbook.h"

namespace tools {

namespace {

DiagramLine Line(double x1, double y1, double x2, double y2) { return {QPointF(x1, y1), QPointF(x2, y2)}; }

int RoundEven(double v) {
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r > 1e9 || r < -1e9) return 0;
    return static_cast<int>(r);
}

}  // namespace

LinePair LinePair::shifted(double dx) const {
    auto move = [dx](const DiagramLine& l) {
        return DiagramLine{l.from + QPointF(dx, 0), l.to + QPointF(dx, 0)};
    };
    return {move(vertical), move(slanted)};
}

LinePair MarkerL0() { return {Line(5760, 3480, 5760, 1560), Line(5760, 1560, 4080, 120)}; }
LinePair MarkerL2() { return {Line(7800, 1560, 7800, 3480), Line(6120, 120, 7800, 1560)}; }
LinePair IndicatorDesigned() { return {Line(7680, 1560, 7680, 3600), Line(6000, 120, 7680, 1560)}; }

void FlameHead::e1Changed(const QString& text) {
    e1 = text;
    updateRange();
}

void FlameHead::e2Changed(const QString& text) {
    e2 = text;
    updateRange();
}

void FlameHead::TQ1Changed(const QString& text) {
    TQ1 = text;
    L1Visible = true;
    layout();
}

void FlameHead::TQ2Changed(const QString& text) {
    TQ2 = text;
    L1Visible = true;
    layout();
}

void FlameHead::updateRange() {
    const double lo = FieldValue(e1), hi = FieldValue(e2);
    if (hi > lo) {
        sliderEnabled = true;
        sliderMin = RoundEven(lo);
        sliderMax = std::max(sliderMin, RoundEven(hi));
        sliderValue = std::clamp(sliderValue, sliderMin, sliderMax);
    } else {
        sliderEnabled = false;
    }
}

void FlameHead::layout() {
    if (FieldValue(TQ2) < FieldValue(TQ1)) {
        Lmin = TQ2;
        Lmax = TQ1;
        Lt = Lmax;
        L1 = MarkerL2();
    } else {
        Lmin = TQ1;
        Lmax = TQ2;
        Lt = Lmin;
        L1 = MarkerL0();
    }
}

void FlameHead::sliderMoved(int v) {
    if (!sliderEnabled) return;
    v = std::clamp(v, sliderMin, sliderMax);
    sliderValue = v;
    const int m = sliderMin, M = sliderMax;
    Label4_0 = QStringLiteral("e=") + QString::number(v);
    // a range that rounds to one position has nowhere to move
    // (v - m) x 2040 as a whole number; 64 bits, as a range of a million positions times 2040
    // does not fit an int
    const double s = M > m ? static_cast<double>((static_cast<qint64>(v) - m) * kScaleLength) /
                                 static_cast<double>(static_cast<qint64>(M) - m)
                           : 0.0;
    const double q1 = FieldValue(TQ1), q2 = FieldValue(TQ2);
    const double lmin = FieldValue(Lmin), lmax = FieldValue(Lmax);
    if (q1 < q2) {
        L1 = MarkerL0().shifted(s);
        Lt = RoundedText(lmin + (lmax - lmin) * s / kScaleLength, 2);
    } else if (q1 > q2) {
        L1 = MarkerL2().shifted(-s);
        Lt = RoundedText(lmax - (lmax - lmin) * s / kScaleLength, 2);
    }
    Label4_1 = QStringLiteral("e=") + QString::number(v);
    Lg = Lt;
    const double boiler = FieldValue(Lt) * FieldValue(Text1) / 100;
    // not rounded, but without float noise
    Lk = std::isfinite(boiler) ? QString::number(boiler, 'g', 15) : QStringLiteral("0");
    if (Lk.contains(u'e')) Lk = PlainText(boiler);
}

void FlameHead::recompute() {
    problem.clear();
    if (sliderEnabled) {
        sliderMoved(sliderValue);
        if (FieldValue(TQ1) <= 0 && FieldValue(TQ2) <= 0)
            problem = QStringLiteral("Введите производительность горелки при min и max параметра -е-.");
        return;
    }
    Label4_0.clear();
    Label4_1.clear();
    Lt.clear();
    Lg.clear();
    Lk.clear();
    if (e1.trimmed().isEmpty() || e2.trimmed().isEmpty())
        problem = QStringLiteral("Введите min и max параметра -е- пламенной головы по паспорту горелки.");
    else if (FieldValue(e1) > FieldValue(e2))
        problem = QStringLiteral("Минимум параметра -е- (") + e1.trimmed() + QStringLiteral(") больше максимума (") +
                  e2.trimmed() + QStringLiteral("): проверьте паспортные данные горелки.");
    else
        problem = QStringLiteral("Минимум и максимум параметра -е- равны: установку менять некуда.");
}

bool ReadPlg(const QString& folder, PlgContents& out, QString* error) {
    out = PlgContents{};
    if (!core::ExistsNoCase(folder, kPlgFile)) return true;
    out.exists = true;
    QStringList lines;
    const QString path = core::ResolvePath(folder, kPlgFile);
    if (!core::ReadKindFile(QStringLiteral("flame-head"), path, lines, error)) {
        // fewer sound lines than four: the window completes the file, and says so; any
        // other damage is a read error and the file is left as it is
        core::FileKind shorter = core::Kind(QStringLiteral("flame-head"));
        shorter.lines = 0;
        shorter.maxLines = 3;
        QByteArray bytes;
        out.complete = false;
        if (!core::ReadDataFile(path, bytes) || !core::CheckKindBytes(shorter, bytes, lines, nullptr)) return false;
        if (error) error->clear();
    }
    for (int i = 0; i < 4; ++i) {
        if (i >= lines.size()) {
            out.complete = false;
            continue;
        }
        // kept exactly as typed ("10,5", "1 000", "500 кВт"): the fields show it and the file
        // keeps it; only the calculation reads the leading number
        out.values[i] = lines[i];
        out.present[i] = true;
    }
    return true;
}

bool WritePlg(const QString& folder, const QStringList& values, QString* error) {
    QStringList v = values.mid(0, 4);
    while (v.size() < 4) v.append(QString());
    return core::WriteQuotedFile(core::ResolvePath(folder, kPlgFile), v, error);
}

}  // namespace tools
