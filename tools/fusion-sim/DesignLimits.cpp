#include "tools/fusion-sim/DesignLimits.h"

#include <algorithm>
#include <map>
#include <vector>

#include "tools/fusion-sim/DesignLoader.h"

namespace fusionsim {

uint64_t triangleCount(const host::BodyData& body) {
    uint64_t n = 0;
    for (const host::FaceData& face : body.faces)
        for (const host::MeshData& mesh : face.meshes) n += mesh.indices.size() / 3;
    return n;
}

namespace {

// What one component stands for with everything placed inside it.
struct Extent {
    size_t depth = 0;  // 1 for a component without occurrences
    uint64_t triangles = 0;
    uint64_t occurrences = 0;
};

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

void checkDesign(const host::DesignData& design, const std::string& file,
                 const std::string& prefix) {
    std::map<std::string, size_t> byId;
    for (size_t i = 0; i < design.components.size(); ++i) {
        const host::ComponentData& c = design.components[i];
        byId.emplace(c.id.empty() ? c.name : c.id, i);
    }
    std::vector<Extent> extent(design.components.size());
    std::vector<bool> done(design.components.size(), false);
    auto childOf = [&](const host::OccurrenceData& o) { return byId.at(o.component); };
    auto place = [&](size_t i) { return prefix + "components[" + std::to_string(i) + "]"; };

    // Post-order on an explicit stack: a component is measured once all the
    // components it places are.
    for (size_t start = 0; start < design.components.size(); ++start) {
        std::vector<std::pair<size_t, size_t>> stack{{start, 0}};  // component, next occurrence
        while (!stack.empty()) {
            auto& [i, next] = stack.back();
            if (done[i]) {
                stack.pop_back();
                continue;
            }
            const auto& occurrences = design.components[i].occurrences;
            if (next < occurrences.size()) {
                const size_t child = childOf(occurrences[next++]);
                if (!done[child]) stack.push_back({child, 0});
                continue;
            }
            Extent e{1, 0, 0};
            for (const host::BodyData& b : design.components[i].bodies)
                e.triangles = saturatingAdd(e.triangles, triangleCount(b));
            for (const host::OccurrenceData& o : occurrences) {
                const Extent& c = extent[childOf(o)];
                e.depth = std::max(e.depth, c.depth + 1);
                e.triangles = saturatingAdd(e.triangles, c.triangles);
                e.occurrences = saturatingAdd(e.occurrences, saturatingAdd(c.occurrences, 1));
            }
            if (e.depth > kMaxPlacementDepth)
                throw DesignError(file, place(i),
                                  "occurrences placed inside each other more than " +
                                      std::to_string(kMaxPlacementDepth) +
                                      " levels deep, the most fusion-sim loads");
            if (e.triangles > kMaxDesignTriangles)
                throw DesignError(file, place(i),
                                  "the assembly holds more than " +
                                      std::to_string(kMaxDesignTriangles) +
                                      " triangles with every occurrence counted, the most "
                                      "fusion-sim loads");
            if (e.occurrences > kMaxDesignOccurrences)
                throw DesignError(file, place(i),
                                  "the assembly holds more than " +
                                      std::to_string(kMaxDesignOccurrences) +
                                      " occurrences, the most fusion-sim loads");
            extent[i] = e;
            done[i] = true;
            stack.pop_back();
        }
    }
}

}  // namespace

void checkDesignLimits(const host::DocumentData& document, const std::string& file) {
    const bool several = document.products.size() > 1;
    for (size_t p = 0; p < document.products.size(); ++p) {
        if (!document.products[p].design) continue;
        checkDesign(*document.products[p].design, file,
                    several ? "products[" + std::to_string(p) + "]." : "");
    }
}

}  // namespace fusionsim
