// Physical properties of a component: its bodies and every occurrence below
// it, each placed by its occurrence's transform. Visibility does not matter.
#include <Fusion/FusionAll.h>

#include <unordered_set>
#include <vector>

#include "host/model/ModelAccess.h"

namespace adsk::fusion {

namespace {

// Parts of a component: their sums and their moments about the origin.
struct PartSums {
    double area = 0;
    double volume = 0;
    double mass = 0;
    std::array<double, 3> massMoment{};
    std::array<double, 3> areaMoment{};

    void add(double partArea, double partVolume, double partMass,
             const std::array<double, 3>& centre) {
        area += partArea;
        volume += partVolume;
        mass += partMass;
        for (size_t k = 0; k < 3; ++k) {
            massMoment[k] += partMass * centre[k];
            areaMoment[k] += partArea * centre[k];
        }
    }

    // Weighted by mass; parts without mass (surfaces) by area.
    std::array<double, 3> centre() const {
        std::array<double, 3> c{};
        for (size_t k = 0; k < 3; ++k) {
            if (mass > 0) c[k] = massMoment[k] / mass;
            else if (area > 0) c[k] = areaMoment[k] / area;
        }
        return c;
    }
};

std::array<double, 3> placed(const std::array<double, 16>* m, const std::array<double, 3>& p) {
    if (!m) return p;
    const auto& t = *m;
    return {t[0] * p[0] + t[1] * p[1] + t[2] * p[2] + t[3],
            t[4] * p[0] + t[5] * p[1] + t[6] * p[2] + t[7],
            t[8] * p[0] + t[9] * p[1] + t[10] * p[2] + t[11]};
}

}  // namespace

const Component::Totals& Component::physicalTotals() const {
    if (totals_) return *totals_;
    // Children before parents, on an explicit stack (a file sets the depth);
    // a component used by many occurrences is measured once.
    struct Frame {
        const Component* component;
        size_t next;  // the next occurrence to visit
    };
    std::vector<Frame> stack{{this, 0}};
    std::unordered_set<const Component*> onPath{this};
    while (!stack.empty()) {
        const Component& c = *stack.back().component;
        const size_t occurrenceCount = c.occurrences_ ? c.occurrences_->count() : 0;
        if (stack.back().next < occurrenceCount) {
            Ptr<Occurrence> o = c.occurrences_->item(stack.back().next++);
            Ptr<Component> child = o ? o->component() : nullptr;
            // The builder refuses cycles; one here would count nothing twice.
            if (child && !child->totals_ && onPath.insert(child.get()).second)
                stack.push_back({child.get(), 0});
            continue;
        }
        PartSums sums;
        for (size_t b = 0; c.bodies_ && b < c.bodies_->count(); ++b) {
            Ptr<PhysicalProperties> p = c.bodies_->item(b)->getPhysicalProperties();
            Ptr<core::Point3D> centre = p->centerOfMass();
            sums.add(p->area(), p->volume(), p->mass(), {centre->x(), centre->y(), centre->z()});
        }
        for (size_t i = 0; i < occurrenceCount; ++i) {
            Ptr<Occurrence> o = c.occurrences_->item(i);
            Ptr<Component> child = o ? o->component() : nullptr;
            if (!child || !child->totals_) continue;
            const Totals& t = *child->totals_;
            sums.add(t.area, t.volume, t.volume * t.density,
                     placed(host::ModelAccess::placement(*o), t.centre));
        }
        Totals totals;
        totals.area = c.recordedPhysical_ ? c.area_ : sums.area;
        totals.volume = c.recordedPhysical_ ? c.volume_ : sums.volume;
        totals.density = sums.volume > 0 ? sums.mass / sums.volume : c.density_;
        totals.centre = sums.centre();
        c.totals_ = totals;
        onPath.erase(&c);
        stack.pop_back();
    }
    return *totals_;
}

Ptr<PhysicalProperties> Component::getPhysicalProperties(CalculationAccuracy accuracy) const {
    if (!hasPhysical_) return nullptr;
    const Totals& t = physicalTotals();
    return host::ModelAccess::make<PhysicalProperties>(t.area, t.volume, t.density, accuracy,
                                                       t.centre);
}

}  // namespace adsk::fusion
