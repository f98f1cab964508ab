#include "calc/FactorCache.h"

#include <utility>

void FactorCache::Keep(int ns, int nt, int k, BandMatrix<float>& factors) {
    valid_ = true;
    ns_ = ns;
    nt_ = nt;
    k_ = k;
    std::swap(factors_, factors);
}

const BandMatrix<float>* FactorCache::Find(int ns, int nt, int k) const {
    if (!valid_ || ns != ns_ || nt != nt_ || k != k_) return nullptr;
    return &factors_;
}
