#include "shell/unitconverter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/numberfield.h"
#include "core/numbers.h"

namespace shell {


namespace {

// Pa in one unit: 1 kgf = 9.80665 N exactly, so 1 kgf/cm2 = 98066.5 Pa and 1 kgf/m2 =
// 1 mm w.c. = 9.80665 Pa; 1 bar = 100000 Pa
constexpr double kPressureFactors[7] = {98066.5, 9.80665, 9.80665, 100000.0, 100.0, 1.0, 1000.0};
// kW in one unit: 1 Gcal/h = 4.1868e9 J / 3600 s = 1163 kW (international table calorie)
constexpr double kOutputFactors[3] = {1.0, 1000.0, 1163.0};
constexpr double kMolarVolumeRatio = 766.0 / 17033.634;

double Parse(QString text) { return core::ParseNumber(text.replace(u',', u'.')); }

QString Show(double v) { return core::LocaleForm(v); }

}  // namespace

QStringList PressureUnits() {
    return {QStringLiteral("кгс/см2"), QStringLiteral("кгс/м2"), QStringLiteral("мм вод.ст."), QStringLiteral("бар"),
            QStringLiteral("мбар"),    QStringLiteral("Па"),     QStringLiteral("кПа")};
}

QStringList OutputUnits() { return {QStringLiteral("кВт"), QStringLiteral("МВт"), QStringLiteral("Гкал/час")}; }

double ConvertPressure(double value, int fromUnit, int toUnit) {
    if (fromUnit < 0 || fromUnit > 6 || toUnit < 0 || toUnit > 6) return 0.0;
    return value * kPressureFactors[fromUnit] / kPressureFactors[toUnit];
}

double ConvertOutput(double value, int fromUnit, int toUnit) {
    if (fromUnit < 0 || fromUnit > 2 || toUnit < 0 || toUnit > 2) return 0.0;
    return value * kOutputFactors[fromUnit] / kOutputFactors[toUnit];
}

double MgPerPpm(Gas gas) { return (gas == Gas::CO ? 28.0 : 46.0) * kMolarVolumeRatio; }
double PpmToMg(double ppm, Gas gas) { return ppm * MgPerPpm(gas); }
double MgToPpm(double mg, Gas gas) { return mg / MgPerPpm(gas); }

UnitConverter::UnitConverter(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Si"));
    setWindowTitle(QStringLiteral("Перевод технических единиц"));

    auto makeGroup = [this](const QString& title, QLineEdit*& value, QComboBox*& unit, const QStringList& units,
                            QList<QLabel*>& results, bool negative) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        // a minus only where the quantity may be negative (a gauge pressure below the
        // atmosphere); the decimal comma of the results' form stays as typed
        value = new app::NumberField(QStringLiteral("1"), app::NumberRule{.minus = negative, .comma = true});
        value->setMaxLength(20);
        unit = new QComboBox;
        unit->addItems(units);
        grid->addWidget(value, 0, 0);
        grid->addWidget(unit, 0, 1);
        for (int i = 0; i < units.size(); ++i) {
            auto* result = new QLabel;
            result->setTextInteractionFlags(Qt::TextSelectableByMouse);
            result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            results.append(result);
            grid->addWidget(result, i + 1, 0);
            grid->addWidget(new QLabel(units[i]), i + 1, 1);
        }
        connect(value, &QLineEdit::textChanged, this, &UnitConverter::update);
        connect(unit, &QComboBox::currentIndexChanged, this, &UnitConverter::update);
        return box;
    };
    QGroupBox* pressure =
        makeGroup(QStringLiteral("Давление"), PressureValue, PressureUnit, PressureUnits(), PressureResults, true);
    QGroupBox* output =
        makeGroup(QStringLiteral("Мощность"), OutputValue, OutputUnit, OutputUnits(), OutputResults, false);

    auto* gasBox = new QGroupBox(QStringLiteral("Выбросы CO и NOx (NOx в пересчете на NO2)"));
    auto* gasGrid = new QGridLayout(gasBox);
    GasValue = new app::NumberField(QStringLiteral("100"), app::NumberRule{.comma = true});
    GasValue->setMaxLength(20);
    GasUnit = new QComboBox;
    GasUnit->addItems({QStringLiteral("ppm"), QStringLiteral("мг/м3")});
    CoResult = new QLabel;
    NoxResult = new QLabel;
    gasGrid->addWidget(GasValue, 0, 0);
    gasGrid->addWidget(GasUnit, 0, 1);
    gasGrid->addWidget(new QLabel(QStringLiteral("CO")), 1, 0);
    gasGrid->addWidget(CoResult, 1, 1);
    gasGrid->addWidget(new QLabel(QStringLiteral("NOx")), 2, 0);
    gasGrid->addWidget(NoxResult, 2, 1);
    connect(GasValue, &QLineEdit::textChanged, this, &UnitConverter::update);
    connect(GasUnit, &QComboBox::currentIndexChanged, this, &UnitConverter::update);

    auto* close = new QPushButton(QStringLiteral("Закрыть"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* right = new QVBoxLayout;
    right->addWidget(output);
    right->addWidget(gasBox);
    right->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(pressure, 1);
    row->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    update();
}

void UnitConverter::update() {
    const double p = Parse(PressureValue->text());
    for (int i = 0; i < PressureResults.size(); ++i)
        PressureResults[i]->setText(Show(ConvertPressure(p, PressureUnit->currentIndex(), i)));
    const double q = Parse(OutputValue->text());
    for (int i = 0; i < OutputResults.size(); ++i)
        OutputResults[i]->setText(Show(ConvertOutput(q, OutputUnit->currentIndex(), i)));
    const double g = Parse(GasValue->text());
    const bool fromPpm = GasUnit->currentIndex() == 0;
    const QString unit = fromPpm ? QStringLiteral(" мг/м3") : QStringLiteral(" ppm");
    CoResult->setText(Show(fromPpm ? PpmToMg(g, Gas::CO) : MgToPpm(g, Gas::CO)) + unit);
    NoxResult->setText(Show(fromPpm ? PpmToMg(g, Gas::NOx) : MgToPpm(g, Gas::NOx)) + unit);
}

}  // namespace shell
