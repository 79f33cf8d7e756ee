#include "convert/ComponentSignature.h"

#include <algorithm>
#include <cmath>

namespace {
bool measureChanged(double a, double b) {
    return std::isnan(a) || std::isnan(b) || a != b;
}

bool marksDiffer(const BodyMark& a, const BodyMark& b) {
    // Element-wise float comparison: a NaN coordinate counts as a change too.
    return a.name != b.name || a.visible != b.visible || a.hasFirstVertex != b.hasFirstVertex ||
           (a.hasFirstVertex && a.firstVertex != b.firstVertex);
}
}  // namespace

void settleSignature(ComponentSignature& signature) {
    auto& bodies = signature.bodies;
    std::stable_sort(bodies.begin(), bodies.end(),
                     [](const BodyMark& a, const BodyMark& b) { return a.name < b.name; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        if (kept > 0 && bodies[kept - 1].name == bodies[i].name) {
            BodyMark& mark = bodies[kept - 1];
            mark.visible = bodies[i].visible;
            if (bodies[i].hasFirstVertex) {
                mark.hasFirstVertex = true;
                mark.firstVertex = bodies[i].firstVertex;
            }
        } else {
            if (kept != i) bodies[kept] = std::move(bodies[i]);
            ++kept;
        }
    }
    bodies.resize(kept);
    auto& children = signature.childComponents;
    std::sort(children.begin(), children.end());
    children.erase(std::unique(children.begin(), children.end()), children.end());
}

bool signaturesDiffer(const ComponentSignature& a, const ComponentSignature& b) {
    if (measureChanged(a.area, b.area)) return true;
    if (measureChanged(a.volume, b.volume)) return true;
    if (a.appearanceSummary != b.appearanceSummary) return true;
    if (a.visible != b.visible) return true;
    if (a.bodies.size() != b.bodies.size()) return true;
    for (std::size_t i = 0; i < a.bodies.size(); ++i)
        if (marksDiffer(a.bodies[i], b.bodies[i])) return true;
    return a.childComponents != b.childComponents;
}
