#pragma once
// The four fuels the program knows, their groups and every per-fuel constant of the
// calculation, kept together in this one table.

#include <array>
#include <string_view>

namespace engine {

enum class Fuel { NaturalGas, PropaneButane, Diesel, FuelOil, Unknown };

enum class FuelGroup { Gaseous, Liquid, None };

struct FuelConstants {
    double q2A;  // q2 coefficient
    double q2h;  // weight of the combustion-air temperature in q2
    double q2T;  // q2 divisor
    double q3F;  // q3 divisor
    double v0;   // flue-gas volume per unit of fuel (per ст.м3 of gas or per kg of liquid fuel)
};

struct FuelEntry {
    std::string_view name;  // the fuel text of the general data, compared ignoring case
    FuelGroup group;
    FuelConstants constants;
};

// Indexed by Fuel (Unknown excluded).
inline constexpr std::array<FuelEntry, 4> kFuelTable{{
    {"Природный газ", FuelGroup::Gaseous, {0.81, 0.85, 2010.0, 1000.0, 9.6}},
    {"Пропан-бутан", FuelGroup::Gaseous, {0.81, 0.85, 2115.0, 1000.0, 26.5}},
    {"Дизельное топливо", FuelGroup::Liquid, {0.87, 0.9, 2100.0, 960.0, 12.0}},
    {"Мазут", FuelGroup::Liquid, {0.87, 0.9, 2100.0, 960.0, 12.0}},
}};

// The fuel named by a general-data text (letter case ignored); Unknown for any other text.
Fuel ClassifyFuel(std::string_view text);

// Constants of a known fuel; nullptr for Fuel::Unknown, which has none.
constexpr const FuelConstants* ConstantsOf(Fuel fuel) {
    return fuel == Fuel::Unknown ? nullptr : &kFuelTable[static_cast<size_t>(fuel)].constants;
}

constexpr FuelGroup GroupOf(Fuel fuel) {
    return fuel == Fuel::Unknown ? FuelGroup::None : kFuelTable[static_cast<size_t>(fuel)].group;
}

}  // namespace engine
