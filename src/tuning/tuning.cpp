// The tuning assistant's model: instrument limits file, load steps and their optimum.

#include "tuning/tuning.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <random>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "object/emissionnorms.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "regime/repeatability.h"

namespace tuning {

bool FitLine(const QList<double>& x, const QList<double>& y, double& a, double& b) {
    if (x.size() != y.size() || x.isEmpty()) return false;
    double mx = 0, my = 0;
    for (int i = 0; i < x.size(); ++i) mx += x[i] / x.size(), my += y[i] / y.size();
    double sxx = 0, sxy = 0;
    for (int i = 0; i < x.size(); ++i) sxx += (x[i] - mx) * (x[i] - mx), sxy += (x[i] - mx) * (y[i] - my);
    if (!(sxx > 1e-12)) return false;
    b = sxy / sxx;
    a = my - b * mx;
    return std::isfinite(a) && std::isfinite(b);
}

double ExcessAirAtO2(const engine::CalcInputs& inputs, double o2) {
    engine::Prepared p = engine::Prepare(inputs);
    const double x = p.in[13], co2 = p.in[12];
    p.in[13] = static_cast<float>(o2);
    if (x < 21.0) p.in[12] = static_cast<float>(co2 * (21.0 - o2) / (21.0 - x));
    return engine::ExcessAirO2(p);
}

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

double TuneStep::coAt(double o2) const { return coFit ? std::exp(coA + coB * o2) : 0.0; }

namespace {

// O2 to one decimal, as the analyser shows it: regimes of one setting count once.
double Setting(double o2) { return std::round(o2 * 10.0) / 10.0; }

QString O2Text(double v) { return QLocale(QLocale::Russian).toString(v, 'f', 1); }

// What a step's fits give for one set of points (the measured ones, or one draw of them).
struct Fit {
    bool enough = false, parabola = false, coFit = false, setPoint = false;
    double c0 = 0, c1 = 0, c2 = 0, coA = 0, coB = 0;
    double o2Min = 0, o2Max = 0, vertex = 0, o2Fit = 0, o2Rich = 0, o2Set = 0, q23Set = 0, etaSet = 0;
    bool allAbove = false;
    int best = -1;  // the point of the least q2 + q3
};

// What a fit reads of a regime (the measured one, or one draw of it).
struct FitPoint {
    double o2 = 0, q23 = 0, eta = 0, co = 0;
};

QList<FitPoint> FitPoints(const QList<TunePoint>& pts) {
    QList<FitPoint> f;
    for (const TunePoint& p : pts) f.append({p.o2, p.q23, p.eta, p.co});
    return f;
}

Fit FitStep(const QList<FitPoint>& pts, double ceiling, double margin) {
    Fit f;
    if (pts.isEmpty()) return f;
    QList<double> x, y, lnCo;
    f.o2Min = f.o2Max = pts.first().o2;
    f.best = 0;
    f.allAbove = true;
    for (int i = 0; i < pts.size(); ++i) {
        const FitPoint& p = pts[i];
        x.append(Setting(p.o2));
        y.append(p.q23);
        lnCo.append(std::log(std::max(p.co, kCoResolution)));
        f.o2Min = std::min(f.o2Min, p.o2);
        f.o2Max = std::max(f.o2Max, p.o2);
        if (p.q23 < pts[f.best].q23) f.best = i;
        if (p.co <= ceiling) f.allAbove = false;
    }
    f.enough = FitParabola(x, y, f.c0, f.c1, f.c2);
    f.parabola = f.enough && f.c2 > 0;
    f.coFit = FitLine(x, lnCo, f.coA, f.coB);
    if (!f.coFit) return f;  // a single setting: no set point
    f.setPoint = true;
    f.vertex = f.parabola ? -f.c1 / (2 * f.c2) : pts[f.best].o2;
    f.o2Fit = std::clamp(f.vertex, f.o2Min, f.o2Max);
    // the rich limit: where the CO line reaches the ceiling, within the measured range
    const double lnCeiling = std::log(std::max(ceiling, kCoResolution));
    auto lnCoAt = [&](double o2) { return f.coA + f.coB * o2; };
    if (lnCoAt(f.o2Min) <= lnCeiling) f.o2Rich = f.o2Min;                      // below the ceiling all through
    else if (lnCoAt(f.o2Max) > lnCeiling || !(f.coB < 0)) f.o2Rich = f.o2Max;  // above it all through
    else f.o2Rich = (lnCeiling - f.coA) / f.coB;
    f.o2Set = std::clamp(std::max(f.o2Fit, f.o2Rich + margin), f.o2Min, f.o2Max);
    // q2 + q3 at the set point: the parabola, or the nearest measured regime without one
    double rest = 0;  // 100 − q5 − (q2 + q3): the step's q5 taken as the mean of its regimes
    for (const auto& p : pts) rest += (p.eta + p.q23) / pts.size();
    if (f.parabola) {
        f.q23Set = f.c0 + f.o2Set * (f.c1 + f.o2Set * f.c2);
    } else {
        int near = 0;
        for (int i = 1; i < pts.size(); ++i)
            if (std::fabs(pts[i].o2 - f.o2Set) < std::fabs(pts[near].o2 - f.o2Set)) near = i;
        f.q23Set = pts[near].q23;
    }
    f.etaSet = rest - f.q23Set;
    return f;
}

double FuelSaved(double from, double to) { return (from > 0 && to > 0) ? 14280.0 / from - 14280.0 / to : 0.0; }

// A regime prepared once for the draws, with the limit of each input in the field's unit.
struct DrawBase {
    engine::Prepared p;
    std::array<double, engine::kInputCount> limit{};
};

QList<DrawBase> DrawBases(const QList<TunePoint>& pts, const engine::InstrumentLimits& limits) {
    QList<DrawBase> bases;
    for (const TunePoint& t : pts) {
        DrawBase b{engine::Prepare(t.inputs), {}};
        for (int k = 0; k < engine::kInputCount; ++k) {
            const bool follows = limits.co2FromO2 && (k == 12 || k == 36);
            if (engine::LimitUnitOf(k) != engine::LimitUnit::NotUsed && !follows)
                b.limit[static_cast<std::size_t>(k)] = engine::LimitInFieldUnit(t.inputs, b.p, k, limits[k], b.p.in[k]);
        }
        bases.append(b);
    }
    return bases;
}

// One draw of the points: each regime's inputs moved within the instruments' limits (CO2
// following O2 when the analyser computes it), the fuel's CO2max and q5 moved alike for all.
QList<FitPoint> Draw(const QList<FitPoint>& pts, const QList<DrawBase>& bases, const engine::InstrumentLimits& limits,
                     std::mt19937_64& rng) {
    auto uniform = [&](double a) { return a > 0 ? std::uniform_real_distribution<double>(-a, a)(rng) : 0.0; };
    const double co2MaxMove = uniform(limits.co2Max), q5Share = uniform(limits.q5Percent / 100.0);
    QList<FitPoint> out = pts;
    for (int i = 0; i < out.size(); ++i) {
        FitPoint& t = out[i];
        engine::Prepared p = bases[i].p;
        const auto x = p.in;
        for (int k = 0; k < engine::kInputCount; ++k)
            p.in[k] = static_cast<float>(x[k] + uniform(bases[i].limit[static_cast<std::size_t>(k)]));
        if (limits.co2FromO2)
            for (const auto& [o2, co2] : {std::pair{13, 12}, std::pair{37, 36}})
                if (x[o2] < 21.0f) p.in[co2] = static_cast<float>(x[co2] * (21.0 - p.in[o2]) / (21.0 - x[o2]));
        p.co2Max += co2MaxMove;
        p.q5Nominal *= 1.0 + q5Share;
        p.in[engine::kQ5Input] = static_cast<float>(x[engine::kQ5Input] * (1.0 + q5Share));
        if (!engine::CheckRegimeData(p).empty()) continue;  // kept as measured
        engine::Results r{};
        engine::SteamState steam;
        engine::CalculateRegimeExact(p, steam, r);
        t.o2 = p.in[13];
        t.q23 = static_cast<double>(r[5]) + r[6];
        t.eta = r[4];
        t.co = r[17];
    }
    return out;
}

double HalfWidth95(QList<double> v) {
    if (v.size() < 2) return 0.0;
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[static_cast<int>(q * (v.size() - 1))]; };
    return (at(0.975) - at(0.025)) / 2;
}

// The step's regime on the card, and why.
void ChooseCardRegime(TuneStep& step, const Fit& f, const TuneSettings& settings) {
    const auto& pts = step.points;
    for (int i = 0; i < pts.size(); ++i)
        if (settings.cardRegimes.contains(pts[i].file, Qt::CaseInsensitive)) {
            step.cardRegime = i;
            step.cardWhy = QStringLiteral("выбран инженером");
            return;
        }
    if (f.setPoint) {
        int near = 0;
        for (int i = 1; i < pts.size(); ++i)
            if (std::fabs(pts[i].o2 - f.o2Set) < std::fabs(pts[near].o2 - f.o2Set)) near = i;
        step.cardRegime = near;
        step.cardWhy = QStringLiteral("ближайший к уставке O2");
        return;
    }
    if (pts.size() == 1) {
        step.cardRegime = 0;
        step.cardWhy = QStringLiteral("единственный режим ступени");
        return;
    }
    int best = -1;
    for (int i = 0; i < pts.size(); ++i)
        if (pts[i].co <= step.ceiling && (best < 0 || pts[i].eta > pts[best].eta)) best = i;
    step.cardWhy = QStringLiteral("наибольший КПД при CO ниже предела");
    if (best < 0) {
        best = 0;
        for (int i = 1; i < pts.size(); ++i)
            if (pts[i].eta > pts[best].eta) best = i;
        step.cardWhy = QStringLiteral("наибольший КПД (все режимы выше предела CO)");
    }
    step.cardRegime = best;
}

void Optimise(TuneStep& step, const TuneSettings& settings, const engine::InstrumentLimits* limits) {
    auto& pts = step.points;
    std::sort(pts.begin(), pts.end(), [](const TunePoint& a, const TunePoint& b) { return a.o2 < b.o2; });
    QList<double> distinct;
    for (const auto& p : pts)
        if (!distinct.contains(Setting(p.o2))) distinct.append(Setting(p.o2));
    step.settings = distinct.size();
    for (int i = 0; i < pts.size(); ++i)
        if (settings.asFound.contains(pts[i].file, Qt::CaseInsensitive)) step.asFound = i;
    const QList<FitPoint> measured = FitPoints(pts);
    const Fit f = FitStep(measured, step.ceiling, settings.margin);
    ChooseCardRegime(step, f, settings);
    step.o2Min = f.o2Min;
    step.o2Max = f.o2Max;
    step.enough = f.enough;
    step.parabola = f.parabola;
    step.c0 = f.c0, step.c1 = f.c1, step.c2 = f.c2;
    step.coFit = f.coFit, step.coA = f.coA, step.coB = f.coB;
    if (step.settings < 3) step.warnings.append(kTooFew);
    if (!f.setPoint) return;
    step.o2Fit = f.o2Fit;
    step.o2Rich = f.o2Rich;
    step.o2Set = f.o2Set;
    step.q23AtSet = f.q23Set;
    step.etaAtSet = f.etaSet;
    step.coAtSet = step.coAt(f.o2Set);
    step.alphaSet = ExcessAirAtO2(pts.first().inputs, f.o2Set);
    step.alphaOpt = ExcessAirAtO2(pts.first().inputs, f.o2Fit);
    if (!pts.first().hasInputs) {  // points without their inputs: the measured excess air between neighbours
        auto alphaAt = [&](double o2) {
            for (int i = 0; i + 1 < pts.size(); ++i)
                if (o2 <= pts[i + 1].o2 && pts[i + 1].o2 > pts[i].o2)
                    return pts[i].alpha +
                           (pts[i + 1].alpha - pts[i].alpha) * (o2 - pts[i].o2) / (pts[i + 1].o2 - pts[i].o2);
            return pts.last().alpha;
        };
        step.alphaSet = alphaAt(f.o2Set);
        step.alphaOpt = alphaAt(f.o2Fit);
    }
    step.recommended = 0;
    for (int i = 1; i < pts.size(); ++i)
        if (std::fabs(pts[i].o2 - f.o2Set) < std::fabs(pts[step.recommended].o2 - f.o2Set)) step.recommended = i;
    step.baseline = step.asFound;
    if (step.baseline < 0) {
        step.baseline = 0;
        for (int i = 1; i < pts.size(); ++i)
            if (pts[i].eta < pts[step.baseline].eta) step.baseline = i;
    }
    step.gainEta = f.etaSet - pts[step.baseline].eta;
    step.gainFuel = FuelSaved(pts[step.baseline].eta, f.etaSet);
    // warnings in words
    if (f.enough && !f.parabola) step.warnings.append(QStringLiteral("минимум не найден"));
    if (f.parabola && f.vertex < f.o2Min)
        step.warnings.append(
            QStringLiteral("минимум на границе опытов: добавьте опыт при O2 ниже %1 %").arg(O2Text(f.o2Min)));
    if (f.parabola && f.vertex > f.o2Max)
        step.warnings.append(
            QStringLiteral("минимум на границе опытов: добавьте опыт при O2 выше %1 %").arg(O2Text(f.o2Max)));
    if (f.allAbove) step.warnings.append(QStringLiteral("все опыты выше предела CO"));
    // the band of the set point and the gain's U95 from draws of the measurements
    bool drawable = limits != nullptr;
    for (const auto& p : pts) drawable = drawable && p.hasInputs;
    if (!drawable) return;
    std::mt19937_64 rng(20261209u + static_cast<unsigned>(step.load * 10));
    QList<double> sets, gains;
    const QList<DrawBase> bases = DrawBases(pts, *limits);
    const int draws = std::clamp(kSetPointCalculations / static_cast<int>(pts.size()), 200, kSetPointDraws);
    for (int i = 0; i < draws; ++i) {
        const QList<FitPoint> d = Draw(measured, bases, *limits, rng);
        const Fit g = FitStep(d, step.ceiling, settings.margin);
        if (!g.setPoint) continue;
        sets.append(g.o2Set);
        gains.append(g.etaSet - d[step.baseline].eta);
    }
    step.o2SetU95 = HalfWidth95(sets);
    step.gainU95 = HalfWidth95(gains);
    if (2 * step.o2SetU95 > 1.0) step.warnings.append(QStringLiteral("полоса уставки шире 1 % O2"));
}

}  // namespace

QList<TuneStep> FindSteps(QList<TunePoint> points, const TuneSettings& settings,
                          const engine::InstrumentLimits* limits) {
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
    for (auto& s : steps) {
        s.ceiling = settings.ceiling;
        Optimise(s, settings, limits);
    }
    return steps;
}

bool RegimeUncertaintyOf(const app::AppState& s, const QString& regimeFile,
                         const std::array<float, app::kInputCount>& inputs, const engine::InstrumentLimits& limits,
                         engine::RegimeUncertainty& u, QString* error, const QSet<QString>* spreadFiles) {
    app::AppState work;
    work.general = s.general;
    work.units = s.units;
    work.inputs = inputs;
    return results::RegimeUncertaintyOf(work.calcInputs(), limits, s.currentObjectFolder, regimeFile, u, error,
                                        spreadFiles);
}

bool CollectPoints(const app::AppState& s, const engine::InstrumentLimits& limits, QList<TunePoint>& points,
                   QStringList* skipped, QString* error) {
    points.clear();
    app::AppState work = s.privateCopy();
    const QSet<QString> spreadFiles = regime::SpreadFilesOf(s.currentObjectFolder);
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
        if (!results::RegimeUncertaintyOf(work.calcInputs(), limits, s.currentObjectFolder, row.key, u, error,
                                          &spreadFiles))
            return false;
        TunePoint p;
        p.file = row.key;
        p.number = regime::RegimeNumberOf(row.key).value_or(0);
        p.load = r[0];
        p.alpha = r[9];
        p.o2 = work.inputs[13];  // the O2 the excess air of the regime is taken from
        p.inputs = work.calcInputs();
        p.hasInputs = true;
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
    TuneSettings settings;
    if (!ObjectTuneSettings(s, settings, error)) return false;
    steps = FindSteps(points, settings, &limits);
    return true;
}

bool ReadTuneSettings(const QString& objectFolder, TuneSettings& settings, QString* error) {
    settings = {};
    if (!core::ExistsNoCase(objectFolder, kSetPointFile)) return true;
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("o2-set-point"), core::ResolvePath(objectFolder, kSetPointFile), lines,
                            error))
        return false;
    // the file table has checked each line's form
    auto number = [&](int i) {
        double v = 0;
        core::ParseWholeNumber(lines[i].split(u' ', Qt::SkipEmptyParts).value(1).toStdString(), v);
        return v;
    };
    settings.ceiling = number(0);
    settings.margin = number(1);
    for (int i = 2; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const int space = static_cast<int>(line.indexOf(u' '));
        const QString mark = line.left(space), file = line.mid(space + 1).trimmed();
        (mark.compare(QStringLiteral("карта"), Qt::CaseInsensitive) == 0 ? settings.cardRegimes : settings.asFound)
            .append(file);
    }
    return true;
}

void MarkInStep(QStringList& list, const QStringList& stepFiles, const QString& file) {
    for (const QString& f : stepFiles) list.removeAll(f);
    if (!file.isEmpty()) list.append(file);
}

bool WriteTuneSettings(const QString& objectFolder, const TuneSettings& settings, QString* error) {
    QStringList lines{QStringLiteral("CO ") + core::StoredForm(static_cast<float>(settings.ceiling)),
                      QStringLiteral("O2 ") + core::StoredForm(static_cast<float>(settings.margin))};
    for (const QString& f : settings.asFound) lines.append(QStringLiteral("исходный ") + f);
    for (const QString& f : settings.cardRegimes) lines.append(QStringLiteral("карта ") + f);
    return core::WriteTextLines(core::ResolvePath(objectFolder, kSetPointFile), lines, error);
}

bool ObjectTuneSettings(const app::AppState& s, TuneSettings& settings, QString* error) {
    if (!ReadTuneSettings(s.currentObjectFolder, settings, error)) return false;
    // the ceiling never above the object's CO limit; a damaged norms file is named as a read error
    QString why;
    const object::AppliedLimit co =
        object::LimitForObject(s.templateFolder, s.currentObjectFolder, s.general, object::Pollutant::CO, &why);
    if (!why.isEmpty()) {
        if (error) *error = why;
        return false;
    }
    if (co.found && co.limit > 0) settings.ceiling = std::min(settings.ceiling, co.limit);
    return true;
}

QStringList StepTableHeader() {
    return {QStringLiteral("Нагрузка, %"),     QStringLiteral("Режимы"),
            QStringLiteral("O2 уставка, %"),   QStringLiteral("± U95, % O2"),
            QStringLiteral("O2 предел CO, %"), QStringLiteral("α"),
            QStringLiteral("q2+q3, %"),        QStringLiteral("КПД, %"),
            QStringLiteral("CO, мг/м3"),       QStringLiteral("Выигрыш, %"),
            QStringLiteral("± U95, %"),        QStringLiteral("кг у.т./Гкал"),
            QStringLiteral("Против"),          QStringLiteral("Рекомендуемый режим"),
            QStringLiteral("Замечания")};
}

QStringList StepTableRow(const TuneStep& step) {
    const QLocale c = QLocale::c();
    QStringList numbers;
    for (int n : step.numbers()) numbers.append(QString::number(n));
    QStringList row{c.toString(step.load, 'f', 0), numbers.join(QStringLiteral(", "))};
    const int columns = static_cast<int>(StepTableHeader().size());
    if (!step.hasSetPoint()) {
        while (row.size() < columns - 1) row.append(QString());
        row.append(step.warnings.join(QStringLiteral("; ")));
        return row;
    }
    const TunePoint& base = step.points[step.baseline];
    row << c.toString(step.o2Set, 'f', 1) << c.toString(step.o2SetU95, 'f', 1) << c.toString(step.o2Rich, 'f', 1)
        << c.toString(step.alphaSet, 'f', 2) << c.toString(step.q23AtSet, 'f', 2) << c.toString(step.etaAtSet, 'f', 2)
        << c.toString(step.coAtSet, 'f', 0) << c.toString(step.gainEta, 'f', 2) << c.toString(step.gainU95, 'f', 2)
        << c.toString(step.gainFuel, 'f', 2)
        << (step.asFound >= 0 ? QStringLiteral("исходного № %1") : QStringLiteral("худшего № %1")).arg(base.number)
        << QStringLiteral("Режим № %1").arg(step.points[step.recommended].number)
        << step.warnings.join(QStringLiteral("; "));
    return row;
}

}  // namespace tuning
