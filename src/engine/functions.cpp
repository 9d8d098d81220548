// The calculation functions one by one: each evaluates what it builds on and applies its
// formula (formulas.h).

#include "engine/engine.h"
#include "engine/formulas.h"

namespace engine {

namespace f = formulas;

float TemperatureFactor(const Prepared& p) { return f::TemperatureFactor(p); }

float PressureFactor(const Prepared& p) { return f::PressureFactor(p); }

float GasFlowReduced(const Prepared& p) {
    return f::GasFlowReduced(p, f::TemperatureFactor(p), f::PressureFactor(p));
}

float LiquidFuelFlow(const Prepared& p) { return f::LiquidFuelFlow(p); }

float FuelFlow(const Prepared& p) {
    switch (p.group) {
        case FuelGroup::Gaseous: return GasFlowReduced(p);
        case FuelGroup::Liquid: return LiquidFuelFlow(p);
        case FuelGroup::None: break;
    }
    return 0.0f;
}

float NominalOutputMcal(const Prepared& p) { return f::NominalOutputMcal(p); }

double HeatOutputInNominalUnit(HeatUnit unit, double q) {
    switch (unit) {
        case HeatUnit::KW: return q * 1000000.0 / 860.0;
        case HeatUnit::MW: return q * 1000.0 / 860.0;
        case HeatUnit::GcalPerHour: return q;
        case HeatUnit::Other: break;
    }
    return 0.0;
}

float ExcessAirO2(const Prepared& p) { return f::ExcessAirO2(p); }

float ExcessAirBeforeEconomiser(const Prepared& p) { return f::ExcessAirBeforeEconomiser(p); }

float ExcessAirCo2(const Prepared& p) { return f::ExcessAirCo2(p); }

float GasHeatCoefficient(double t) { return f::GasHeatCoefficient(t); }

float AirHeatCoefficient(double t) { return f::AirHeatCoefficient(t); }

float FlueGasLoss(const Prepared& p) { return f::FlueGasLoss(p, f::ExcessAirCo2(p)); }

float EconomiserGain(const Prepared& p) {
    return f::EconomiserGain(p, f::ExcessAirBeforeEconomiser(p), FlueGasLoss(p));
}

float ChemicalLoss(const Prepared& p) { return f::ChemicalLoss(p, f::ExcessAirCo2(p)); }

float EnvironmentLoss(const Prepared& p) {
    if (p.q5Mode != Q5Mode::AtNominalLoad || !p.constants) return f::EnvironmentLoss(p, 0.0f, 0.0f, 0.0f);
    return f::EnvironmentLoss(p, NominalOutputMcal(p), FuelFlow(p), FlueGasLoss(p));
}

float GrossEfficiency(const Prepared& p) {
    return f::GrossEfficiency(FlueGasLoss(p), ChemicalLoss(p), EnvironmentLoss(p));
}

float NetEfficiency(const Prepared& p) { return f::NetEfficiency(p, GrossEfficiency(p)); }

float HeatOutput(const Prepared& p) {
    if (!p.constants) return 0.0f;
    return f::HeatOutput(p, FuelFlow(p), GrossEfficiency(p));
}

float SteamEnthalpy(double pressure) {
    struct Row {
        double from, to;
        float enthalpy;
    };
    // Both bounds inclusive, the first row that holds the pressure wins.
    static constexpr Row kRows[] = {
        {0, 1, 641.0f},   {1, 2, 650.0f},   {2, 3, 654.0f},   {3, 4, 656.0f},   {4, 5, 658.0f},
        {5, 6, 659.0f},   {6, 7, 661.0f},   {8, 9, 663.0f},   {9, 10, 664.0f},  {10, 11, 664.9f},
        {11, 12, 665.6f}, {12, 13, 666.2f}, {13, 14, 666.7f}, {14, 15, 667.1f}, {15, 16, 667.5f},
        {16, 19, 668.0f}, {19, 24, 669.0f}, {24, 30, 669.9f},
    };
    if (pressure < 0.0) return 641.0f;  // below the table: its lowest row
    for (const Row& row : kRows)
        if (pressure >= row.from && pressure <= row.to) return row.enthalpy;
    // The table leaves out 7 < p < 8; take the value between its neighbours there. Above 30,
    // the table's top row.
    if (pressure > 7.0 && pressure < 8.0) return 662.0f;
    return 669.9f;
}

float SteamOutput(const Prepared& p, SteamState& steam) { return f::SteamOutput(p, HeatOutput(p), steam); }

float OutputInNominalUnit(const Prepared& p, SteamState& steam) {
    if (p.boiler == BoilerType::Steam) return SteamOutput(p, steam);
    return f::OutputInNominalUnit(p, HeatOutput(p), 0.0f);
}

float LoadPercent(const Prepared& p, SteamState& steam) {
    if (p.boiler == BoilerType::Unknown) return 0.0f;
    return f::LoadPercent(p, OutputInNominalUnit(p, steam));
}

float WaterFlow(const Prepared& p) { return f::WaterFlow(p, HeatOutput(p), GrossEfficiency(p)); }

float DirectEfficiencyHotWater(const Prepared& p) { return f::DirectEfficiencyHotWater(p, FuelFlow(p)); }

float DirectEfficiencySteam(const Prepared& p, const SteamState& steam) {
    if (!p.constants) return 0.0f;
    return f::DirectEfficiencySteam(p, FuelFlow(p), steam);
}

float SpecificFuel(const Prepared& p) { return f::SpecificFuel(FuelFlow(p), HeatOutput(p)); }

float SpecificStandardFuel(const Prepared& p) { return f::SpecificStandardFuel(GrossEfficiency(p)); }

float FlueGasVolume(const Prepared& p) {
    if (!p.constants) return 0.0f;
    return f::FlueGasVolume(p, FuelFlow(p), f::ExcessAirO2(p));
}

float CoConcentration(const Prepared& p) { return f::CoConcentration(p, f::ExcessAirO2(p)); }

float NoxConcentration(const Prepared& p) { return f::NoxConcentration(p, f::ExcessAirO2(p)); }

float CoSpecific(const Prepared& p) { return f::SpecificEmission(CoMassFlow(p), HeatOutput(p)); }

float NoxSpecific(const Prepared& p) { return f::SpecificEmission(NoxMassFlow(p), HeatOutput(p)); }

float CoMassFlow(const Prepared& p) { return f::MassFlow(f::MeasuredCo(p), FlueGasVolume(p)); }

float NoxMassFlow(const Prepared& p) { return f::MassFlow(f::MeasuredNox(p), FlueGasVolume(p)); }

}  // namespace engine
