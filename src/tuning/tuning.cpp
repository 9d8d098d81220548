// The tuning assistant's model: instrument limits file, load steps and their optimum.

#include "tuning/tuning.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace tuning {

double OxygenAt(double alpha) { return alpha > 0 ? 21.0 * (1.0 - 1.0 / alpha) : 0.0; }

bool FitParabola(const QList<double>& x, const QList<double>& y, double& c0, double& c1, double& c2) {
    QList<double> distinct = x;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (distinct.size() < 3 || x.size() != y.size()) return false;
    // centred on the mean x, so the normal equations stay well conditioned
    double mean = 0;
    for (double v : x) mean += v;
    mean /= x.size();
    double s[5] = {}, t[3] = {};
    for (int i = 0; i < x.size(); ++i) {
        const double d = x[i] - mean;
        double p = 1;
        for (int k = 0; k < 5; ++k) {
            s[k] += p;
            if (k < 3) t[k] += p * y[i];
            p *= d;
        }
    }
    // solve [s0 s1 s2; s1 s2 s3; s2 s3 s4] b = t by Cramer's rule
    auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double D = det3(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
    if (!(std::fabs(D) > 0)) return false;
    const double b0 = det3(t[0], s[1], s[2], t[1], s[2], s[3], t[2], s[3], s[4]) / D;
    const double b1 = det3(s[0], t[0], s[2], s[1], t[1], s[3], s[2], t[2], s[4]) / D;
    const double b2 = det3(s[0], s[1], t[0], s[1], s[2], t[1], s[2], s[3], t[2]) / D;
    // back from d = x − mean to x
    c2 = b2;
    c1 = b1 - 2 * b2 * mean;
    c0 = b0 - b1 * mean + b2 * mean * mean;
    return std::isfinite(c0) && std::isfinite(c1) && std::isfinite(c2);
}

QList<int> TuneStep::numbers() const {
    QList<int> n;
    for (const auto& p : points) n.append(p.number);
    std::sort(n.begin(), n.end());
    return n;
}

namespace {

void Optimise(TuneStep& step) {
    auto& pts = step.points;
    std::sort(pts.begin(), pts.end(), [](const TunePoint& a, const TunePoint& b) { return a.alpha < b.alpha; });
    QList<double> x, y;
    for (const auto& p : pts) {
        // the stored excess air has two decimals: regimes of one setting count once
        x.append(std::round(p.alpha * 100.0) / 100.0);
        y.append(p.q23);
    }
    step.alphaMin = pts.first().alpha;
    step.alphaMax = pts.last().alpha;
    step.enough = FitParabola(x, y, step.c0, step.c1, step.c2);
    if (!step.enough) return;
    step.parabola = step.c2 > 0;
    int best = 0;
    for (int i = 1; i < pts.size(); ++i)
        if (pts[i].q23 < pts[best].q23) best = i;
    if (step.parabola) {
        step.alphaOpt = std::clamp(-step.c1 / (2 * step.c2), step.alphaMin, step.alphaMax);
        step.q23Opt = step.q23At(step.alphaOpt);
    } else {
        step.alphaOpt = pts[best].alpha;
        step.q23Opt = pts[best].q23;
    }
    step.o2Opt = OxygenAt(step.alphaOpt);
    // efficiency = 100 − q5 − (q2 + q3): the step's q5 taken as the mean of its regimes
    double rest = 0;
    for (const auto& p : pts) rest += p.eta + p.q23;
    rest /= pts.size();
    step.etaOpt = rest - step.q23Opt;
    // CO between the two measured neighbours of the optimum
    step.coOpt = pts.first().co;
    for (int i = 0; i + 1 < pts.size(); ++i) {
        const auto &a = pts[i], &b = pts[i + 1];
        if (step.alphaOpt >= a.alpha && step.alphaOpt <= b.alpha) {
            step.coOpt = b.alpha > a.alpha ? a.co + (b.co - a.co) * (step.alphaOpt - a.alpha) / (b.alpha - a.alpha) : a.co;
            break;
        }
        if (i + 2 == pts.size()) step.coOpt = b.co;
    }
    double worst = pts.first().eta;
    for (const auto& p : pts) worst = std::min(worst, p.eta);
    step.gainEta = step.etaOpt - worst;
    step.gainFuel = (worst > 0 && step.etaOpt > 0) ? 14280.0 / worst - 14280.0 / step.etaOpt : 0.0;
    step.recommended = 0;
    for (int i = 1; i < pts.size(); ++i)
        if (std::fabs(pts[i].alpha - step.alphaOpt) < std::fabs(pts[step.recommended].alpha - step.alphaOpt))
            step.recommended = i;
}

}  // namespace

QList<TuneStep> FindSteps(QList<TunePoint> points) {
    std::stable_sort(points.begin(), points.end(), [](const TunePoint& a, const TunePoint& b) { return a.load < b.load; });
    QList<TuneStep> steps;
    for (const auto& p : points) {
        if (steps.isEmpty() || p.load > steps.last().load + kStepWidth) {
            TuneStep s;
            s.load = p.load;
            steps.append(s);
        }
        steps.last().points.append(p);
    }
    for (auto& s : steps) Optimise(s);
    return steps;
}

bool RegimeUncertaintyOf(const app::AppState& s, const QString& regimeFile,
                         const std::array<float, app::kInputCount>& inputs, const engine::InstrumentLimits& limits,
                         engine::RegimeUncertainty& u, QString* error) {
    app::AppState work;
    work.general = s.general;
    work.units = s.units;
    work.inputs = inputs;
    return results::RegimeUncertaintyOf(work.calcInputs(), limits, s.currentObjectFolder, regimeFile, u, error);
}

bool CollectPoints(const app::AppState& s, const engine::InstrumentLimits& limits, QList<TunePoint>& points,
                   QStringList* skipped, QString* error) {
    points.clear();
    app::AppState work = s.privateCopy();
    for (const auto& row : s.regimeList.rows) {
        work.setCurrentRegime(row.key);
        QString why;
        if (!regime::LoadRegimeInputs(work, nullptr, &why)) {
            if (error) *error = row.key + QStringLiteral(": ") + why;
            return false;
        }
        const QString check = regime::CheckRegime(work);
        if (!check.isEmpty()) {
            if (skipped) skipped->append(row.key + QStringLiteral(": ") + check);
            continue;
        }
        engine::Results r{};
        engine::CalculateRegime(work.calcInputs(), work.steam, r);
        engine::RegimeUncertainty u;
        if (!results::RegimeUncertaintyOf(work.calcInputs(), limits, s.currentObjectFolder, row.key, u, error))
            return false;
        TunePoint p;
        p.file = row.key;
        p.number = regime::RegimeNumberOf(row.key).value_or(0);
        p.load = r[0];
        p.alpha = r[9];
        p.q23 = static_cast<double>(r[5]) + r[6];
        p.eta = r[4];
        p.co = r[17];
        p.u95Alpha = u.u95[9];
        p.u95Eta = u.u95[4];
        p.u95Co = u.u95[17];
        p.u95Q23 = u.U95OfSum({5, 6});
        points.append(p);
    }
    return true;
}

bool TuneFolder(const QString& objectFolder, QList<TuneStep>& steps, QStringList* skipped, QString* error,
                bool templateUnits, QString* unitsWarning) {
    app::AppState s;
    if (!regime::LoadObjectFolder(s, objectFolder, error, templateUnits, unitsWarning)) return false;
    engine::InstrumentLimits limits;
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, error)) return false;
    QList<TunePoint> points;
    if (!CollectPoints(s, limits, points, skipped, error)) return false;
    steps = FindSteps(points);
    return true;
}

QStringList StepTableHeader() {
    return {QStringLiteral("Нагрузка, %"), QStringLiteral("Режимы"),       QStringLiteral("α опт"),
            QStringLiteral("O2 опт, %"),   QStringLiteral("q2+q3, %"),     QStringLiteral("КПД, %"),
            QStringLiteral("CO, мг/м3"),   QStringLiteral("Выигрыш, %"),   QStringLiteral("кг у.т./Гкал"),
            QStringLiteral("Рекомендуемый режим")};
}

QStringList StepTableRow(const TuneStep& step) {
    const QLocale c = QLocale::c();
    QStringList numbers;
    for (int n : step.numbers()) numbers.append(QString::number(n));
    QStringList row{c.toString(step.load, 'f', 0), numbers.join(QStringLiteral(", "))};
    if (!step.enough) {
        row.append(kTooFew);
        while (row.size() < StepTableHeader().size()) row.append(QString());
        return row;
    }
    row << c.toString(step.alphaOpt, 'f', 2) << c.toString(step.o2Opt, 'f', 1) << c.toString(step.q23Opt, 'f', 2)
        << c.toString(step.etaOpt, 'f', 2) << c.toString(step.coOpt, 'f', 1) << c.toString(step.gainEta, 'f', 2)
        << c.toString(step.gainFuel, 'f', 2)
        << QStringLiteral("Режим № %1").arg(step.points[step.recommended].number);
    return row;
}

}  // namespace tuning
