#include "convert/ComponentSignature.h"

#include <cmath>

namespace {
bool measureChanged(double a, double b) {
    return std::isnan(a) || std::isnan(b) || a != b;
}
}  // namespace

bool signaturesDiffer(const ComponentSignature& a, const ComponentSignature& b) {
    if (measureChanged(a.area, b.area)) return true;
    if (measureChanged(a.volume, b.volume)) return true;
    if (a.appearanceSummary != b.appearanceSummary) return true;
    if (a.visible != b.visible) return true;
    if (a.bodyVisibility != b.bodyVisibility) return true;
    // Element-wise float comparison: a NaN coordinate counts as a change too.
    if (a.bodyFirstVertex != b.bodyFirstVertex) return true;
    return a.childComponents != b.childComponents;
}
