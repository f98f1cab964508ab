#pragma once

#include "calc/BandElimination.h"

// The factors of the last dense interpolation matrix eliminated, kept for the
// lattice shape (ns x nt nodes, degree k) they belong to. Knots, node basis and
// elimination depend on nothing else and are the same computation every time,
// so a refill of that shape (a new Calc at the same pitch) solves with them
// and gives the bits a fresh elimination would.
class FactorCache {
public:
    // Takes the factors of a successful elimination for the shape. They are
    // moved, not copied: factors receives the storage the cache held before,
    // for the next matrix to reuse.
    void Keep(int ns, int nt, int k, BandMatrix<float>& factors);

    // The factors kept for that shape, or nullptr.
    const BandMatrix<float>* Find(int ns, int nt, int k) const;

    void Forget() { valid_ = false; }

private:
    bool valid_ = false;
    int ns_ = 0;
    int nt_ = 0;
    int k_ = 0;
    BandMatrix<float> factors_;
};
