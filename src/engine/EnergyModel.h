#pragma once

// Metabolic equivalent of walking or running at a speed in km/h.
double Mets(double kmh);

// Energy in kcal of a step of some seconds at a speed, for a body weight in kg:
// 1.05 x METs x weight x hours.
double StepKcal(int seconds, double weightKg, double kmh);
