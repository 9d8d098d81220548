#include "support/testdirs.h"

#include <QDir>
#include <QFile>

#include "app/startup.h"
#include "core/names.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"

namespace testing_support {

TestHome::TestHome() {
    QDir().mkpath(objects());
    QDir().mkpath(templ());
    QDir src(QStringLiteral(KALVARO_SOURCE_DIR "/template"));
    for (const QString& f : src.entryList(QDir::Files)) QFile::copy(src.filePath(f), core::JoinPath(templ(), f));
}

QString TestHome::objects() const { return core::JoinPath(path(), QStringLiteral("Все объекты")); }
QString TestHome::templ() const { return core::JoinPath(path(), QStringLiteral("Template")); }

void TestHome::apply(app::AppState& s) const { app::SetFolders(s, path()); }

QString TestHome::makeObject(const QString& name, const QStringList& general) const {
    const QString folder = core::JoinPath(objects(), name);
    QDir().mkpath(folder);
    QStringList g = general;
    while (g.size() < object::kGeneralCount) g.append(QString());
    object::WriteGeneralData(folder, g);
    object::WriteUnits(folder, object::DefaultUnits());
    regime::WriteCounter(folder, regime::kLastNumberFile, 0, true);
    regime::WriteCounter(folder, regime::kCountFile, 0, true);
    return folder;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QStringList MeasuredGasRegimeFields() {
    return QString("42 11 18 300 28 3.1 -0.2 0 0 0 0 40 8.15 6.5 30 2 -0.3 121 18 14.2 0 25 70 78.1 3.2 3 "
                   "0 0 0 0 0 0 25 0 0 0 0 0 0 0 0 38.9 0.671")
        .split(u' ');
}

QStringList HotWaterGasGeneral(const QString& name) {
    using namespace object;
    QStringList g(kGeneralCount);
    g[Performer] = QStringLiteral("Петров А.В.");
    g[BoilerType] = kHotWaterBoiler;
    g[Q5Mode] = kQ5AtAllLoads;
    g[FuelType] = kNaturalGas;
    g[HeatOutputUnit] = QStringLiteral("кВт");
    g[ObjectName] = name;
    g[CalorificValue] = QStringLiteral("8000");
    g[FuelDensity] = QStringLiteral("0.67");
    g[Co2Max] = QStringLiteral("11.8");
    g[Economiser] = kWithoutEconomiser;
    g[NominalOutput] = QStringLiteral("1200");
    g[Q5Nominal] = QStringLiteral("2");
    g[OwnNeedsLoss] = QStringLiteral("1");
    return g;
}

}  // namespace testing_support
