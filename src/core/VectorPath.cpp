#include "core/VectorPath.h"

#include <cstdlib>
#include <string_view>

namespace {

VectorPath WidestSupported() {
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return VectorPath::Avx512;
    if (__builtin_cpu_supports("avx2")) return VectorPath::Avx2;
#endif
    return VectorPath::Baseline;
}

VectorPath ChosenPath() {
    const VectorPath widest = WidestSupported();
    const char* asked = std::getenv("MORVAPLOT_VECTOR_PATH");
    if (asked == nullptr) return widest;
    const std::string_view name(asked);
    if (name == "baseline") return VectorPath::Baseline;
    if (name == "avx2" && widest >= VectorPath::Avx2) return VectorPath::Avx2;
    return widest;
}

}  // namespace

VectorPath ActiveVectorPath() {
    // Decided once for the life of the process (a constant after the first call).
    static const VectorPath path = ChosenPath();
    return path;
}
