#include "engine/EnergyModel.h"

#include <array>

namespace {

struct MetsBand {
    double below;  // the band holds speeds under this bound (and at or over the previous one)
    double from;   // its lower bound
    double metsAt; // METs at the lower bound
    double slope;  // METs per km/h, as the interpolation through the table's points stores it
};

// Linear interpolation through published walking and running METs values.
constexpr std::array<MetsBand, 17> kBands{{
    {3.2, 0.0, 0.0, 0.625},
    {4.0, 3.2, 2.0, 0.6250000000000001},
    {4.8, 4.0, 2.5, 0.6250000000000001},
    {5.6, 4.8, 3.0, 0.37499999999999983},
    {6.4, 5.6, 3.3, 0.6249999999999994},
    {7.2, 6.4, 3.8, 1.5000000000000004},
    {8.0, 7.2, 5.0, 1.625},
    {8.4, 8.0, 6.3, 4.2499999999999964},
    {9.7, 8.4, 8.0, 0.7692307692307698},
    {10.8, 9.7, 9.0, 0.909090909090908},
    {11.3, 10.8, 10.0, 2.0},
    {12.1, 11.3, 11.0, 0.6250000000000009},
    {12.9, 12.1, 11.5, 1.249999999999999},
    {13.8, 12.9, 12.5, 1.1111111111111107},
    {14.5, 13.8, 13.5, 0.714285714285715},
    {16.1, 14.5, 14.0, 0.6249999999999994},
    {17.5, 16.1, 15.0, 0.714285714285715},
}};

// Running at 17.5 km/h and faster.
constexpr double kTopMets = 18.0;

// 1.05 / 3600: kcal per (kg x METs x second).
constexpr double kKcalFactor = 0.0002916666666666667;

} // namespace

double Mets(double kmh) {
    for (const auto& band : kBands) {
        if (kmh < band.below) {
            return (kmh - band.from) * band.slope + band.metsAt;
        }
    }
    return kTopMets;
}

double StepKcal(int seconds, double weightKg, double kmh) {
    return ((static_cast<double>(seconds) * weightKg) * Mets(kmh)) * kKcalFactor;
}
