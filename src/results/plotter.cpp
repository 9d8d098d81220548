#include "results/plotter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/regimestore.h"
#include "results/resultrows.h"

namespace results {

namespace {

bool ReadValues(const QString& path, int count, QList<float>& values, QString* error) {
    values.resize(count);
    return core::ReadKindNumbers(count == app::kInputCount ? QStringLiteral("regime") : QStringLiteral("results"), path,
                                 values.data(), error);
}

}  // namespace

bool CollectGraphData(const app::AppState& s, GraphData& data, QString* error) {
    data = GraphData();
    const auto& g = s.graph;
    if (!g.chosen) {
        if (error) *error = QStringLiteral("no graph chosen");
        return false;
    }
    const bool needInputs = g.ySource == u"P" || g.xSource == u"P";
    const bool needResults = g.ySource == u"R" || g.xSource == u"R";
    for (const auto& row : s.regimeList.rows) {
        // a regime whose stored results its inputs cannot give has no point of its own
        if (!row.ticked || !row.checkMessage.isEmpty()) continue;
        QList<float> inputs, res;
        if (needInputs &&
            !ReadValues(core::JoinPath(s.currentObjectFolder, row.key), app::kInputCount, inputs, error))
            return false;
        if (needResults && !ReadValues(core::JoinPath(s.currentObjectFolder, regime::kResultsPrefix + row.key),
                                       app::kResultCount, res, error))
            return false;
        auto value = [&](const QString& source, int index) {
            return source == u"P" ? inputs.value(index) : res.value(index);
        };
        data.x.append(value(g.xSource, g.xIndex));
        data.y.append(value(g.ySource, g.yIndex));
        data.regimes.append(row.key);
        QString reason;
        if (g.ySource == u"R") reason = ImplausibleReason(g.yIndex, data.y.last());
        if (reason.isEmpty() && g.xSource == u"R") reason = ImplausibleReason(g.xIndex, data.x.last());
        data.doubtful.append(reason);
    }
    return true;
}

QString MeanText(const QList<float>& values, const QLocale& locale) {
    if (values.isEmpty()) return QStringLiteral("Сред.");
    float sum = 0;
    for (float v : values) sum += v;
    const float mean = sum / static_cast<float>(values.size());
    return core::LocaleForm(static_cast<float>(core::RoundHalfEven(mean, 2)), locale);
}

Ranges ComputeRanges(const GraphData& d, double width, double height) {
    Ranges r;
    if (d.empty()) return r;
    r.maxX = r.minX = d.x.first();
    r.maxY = r.minY = d.y.first();
    for (int k = 1; k < d.x.size(); ++k) {
        if (d.x[k] > r.maxX) r.maxX = d.x[k];
        if (d.x[k] < r.minX) r.minX = d.x[k];
        if (d.y[k] > r.maxY) r.maxY = d.y[k];
        if (d.y[k] < r.minY) r.minY = d.y[k];
    }
    r.upperX = r.maxX + 0.1f * (r.maxX - r.minX);
    r.lowerX = r.minX - 0.1f * (r.maxX - r.minX);
    r.upperY = r.maxY + 0.1f * (r.maxY - r.minY);
    r.lowerY = r.minY - 0.1f * (r.maxY - r.minY);
    // values near the ends of the float range overflow the margins: take them in double
    // and hold them at the largest float, so no scale value is ever infinite or "nan"
    auto margin = [](float hi, float lo, double side) {
        const double v = (side > 0 ? double(hi) : double(lo)) + side * 0.1 * (double(hi) - double(lo));
        return static_cast<float>(std::clamp(v, -double(FLT_MAX), double(FLT_MAX)));
    };
    if (!std::isfinite(r.upperX) || !std::isfinite(r.lowerX)) {
        r.upperX = margin(r.maxX, r.minX, 1);
        r.lowerX = margin(r.maxX, r.minX, -1);
    }
    if (!std::isfinite(r.upperY) || !std::isfinite(r.lowerY)) {
        r.upperY = margin(r.maxY, r.minY, 1);
        r.lowerY = margin(r.maxY, r.minY, -1);
    }
    r.scaleX = static_cast<float>((r.upperX - r.lowerX) / width);
    r.scaleY = static_cast<float>((r.upperY - r.lowerY) / height);
    if (!std::isfinite(r.scaleX)) r.scaleX = static_cast<float>((double(r.upperX) - r.lowerX) / width);
    if (!std::isfinite(r.scaleY)) r.scaleY = static_cast<float>((double(r.upperY) - r.lowerY) / height);
    return r;
}

namespace {

// [lo, hi] widened to five equal steps of a round size that hold it; unchanged when empty
// or beyond what a float scale can carry.
void RoundFiveSteps(float& lo, float& hi) {
    const double a = lo, b = hi;
    if (!(b > a) || !std::isfinite(b - a)) return;
    const double raw = (b - a) / 5;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (int decade = 0; decade < 3; ++decade, power *= 10)
        for (double m : {1.0, 2.0, 2.5, 5.0}) {
            const double step = m * power;
            if (step < raw * (1 - 1e-9)) continue;
            // the start is a whole number of steps, so every value is one too
            const double start = std::floor(a / step + 1e-9) * step;
            const double end = start + 5 * step;
            if (end < b - step * 1e-9) continue;
            if (!std::isfinite(end) || std::abs(end) > double(FLT_MAX) || std::abs(start) > double(FLT_MAX)) return;
            lo = static_cast<float>(start);
            hi = static_cast<float>(end);
            return;
        }
}

}  // namespace

Ranges GraphRanges(const GraphData& data, double width, double height) {
    Ranges r = ComputeRanges(data, width, height);
    if (data.empty()) return r;
    RoundFiveSteps(r.lowerX, r.upperX);
    RoundFiveSteps(r.lowerY, r.upperY);
    r.scaleX = static_cast<float>((double(r.upperX) - r.lowerX) / width);
    r.scaleY = static_cast<float>((double(r.upperY) - r.lowerY) / height);
    return r;
}

double PointX(const Ranges& r, float x, double width) {
    if (r.scaleX == 0.0f) return width / 2;
    return (x - r.lowerX) / r.scaleX;
}

double PointY(const Ranges& r, float y, double height) {
    if (r.scaleY == 0.0f) return height / 2;
    return height - (y - r.lowerY) / r.scaleY;
}

QString ScaleText(double value, const QLocale& locale) {
    if (!std::isfinite(value)) value = 0;
    double v = core::RoundHalfEven(value, 3);
    if (v == 0.0) v = 0.0;  // no "-0"
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = l.toString(v, 'f', 3);
    // plain number: drop trailing zeros and a trailing separator
    if (text.contains(l.decimalPoint())) {
        while (text.endsWith(u'0')) text.chop(1);
        if (text.endsWith(l.decimalPoint())) text.chop(l.decimalPoint().size());
    }
    return v >= 0 ? u' ' + text : text;
}

QStringList ScaleValuesX(const Ranges& r, const QLocale& locale) {
    QStringList l;
    for (int i = 0; i <= 5; ++i) l.append(ScaleText(r.lowerX + (r.upperX - r.lowerX) * i / 5.0f, locale));
    return l;
}

QStringList ScaleValuesY(const Ranges& r, const QLocale& locale) {
    QStringList l;
    for (int i = 0; i <= 5; ++i) l.append(ScaleText(r.upperY - (r.upperY - r.lowerY) * i / 5.0f, locale));
    return l;
}

}  // namespace results
