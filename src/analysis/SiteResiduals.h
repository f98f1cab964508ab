#pragma once

#include <string>
#include <vector>

// How well a surface predicts each measured site, and the figures of all of
// them. A residual is measured - predicted, in the values' unit.

struct SiteResidual {
    int Number = 0;  // the site's number
    double X = 0.0;  // its position, cell units (x right, y downward)
    double Y = 0.0;
    double Measured = 0.0;
    bool Predicted = false;   // false: the surface gave no value there (Note says why)
    double Prediction = 0.0;  // when Predicted
    double Residual = 0.0;    // Measured - Prediction, when Predicted
    std::string Note;         // empty when Predicted
};

struct ResidualSummary {
    int Count = 0;      // sites with a prediction
    int Missing = 0;    // sites without one
    double Rms = 0.0;   // sqrt(sum r^2 / Count); 0 when Count is 0
    double Mean = 0.0;  // sum r / Count
    double LargestAbs = 0.0;
    int Largest = -1;  // index of the first site with the largest |r|; -1 when Count is 0
};

// The figures of the sites that have a prediction, summed in site order.
ResidualSummary SummariseResiduals(const std::vector<SiteResidual>& residuals);
