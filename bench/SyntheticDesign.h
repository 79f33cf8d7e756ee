// The large synthetic benchmark design: N part components, each with three
// spheres and a cylinder, placed once each by the root (with the default 250
// parts about 1000 bodies and one million triangles), as a design/1 document
// with shape generators. Shared by the export and render benchmarks.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

inline nlohmann::json makeDesign(int parts) {
    using nlohmann::json;
    json appearances = json::array();
    const char* names[] = {"Steel", "Brass", "Paint (Blue)", "Rubber"};
    for (int i = 0; i < 4; ++i) {
        appearances.push_back(
            {{"id", "Prism-" + std::to_string(100 + i)},
             {"name", names[i]},
             {"properties", json::array({{{"id", "opaque_albedo"},
                                          {"type", "color"},
                                          {"value", {40 + 50 * i, 200 - 40 * i, 90, 255}}}})}});
    }
    json components = json::array();
    json rootOccurrences = json::array();
    for (int p = 0; p < parts; ++p) {
        json bodies = json::array();
        for (int s = 0; s < 3; ++s) {
            bodies.push_back({{"name", "Ball " + std::to_string(s)},
                              {"appearance", "Prism-" + std::to_string(100 + (p + s) % 4)},
                              {"shape",
                               {{"type", "sphere"},
                                {"radius", 1.0 + 0.1 * s},
                                {"segments", 32},
                                {"rings", 18},
                                {"center", {3.0 * s, 0, 0}}}}});
        }
        bodies.push_back({{"name", "Shaft"},
                          {"appearance", "Prism-103"},
                          {"shape",
                           {{"type", "cylinder"},
                            {"radius", 0.4},
                            {"height", 9},
                            {"segments", 160},
                            {"axis", "x"}}},
                          {"faceAppearances", {"Prism-101", "Prism-102", "Prism-102"}}});
        const std::string id = "part" + std::to_string(p);
        components.push_back({{"id", id},
                              {"name", "Part " + std::to_string(p)},
                              {"bodies", bodies},
                              {"occurrences", json::array()}});
        const double x = (p % 20) * 12.0, z = (p / 20) * 4.0;
        rootOccurrences.push_back(
            {{"component", id},
             {"transform", {{1, 0, 0, x}, {0, 1, 0, 0}, {0, 0, 1, z}, {0, 0, 0, 1}}}});
    }
    const json root = {{"id", "root"},
                       {"name", "Synthetic Assembly"},
                       {"bodies", json::array()},
                       {"occurrences", rootOccurrences}};
    components.insert(components.begin(), root);
    return {{"format", "design/1"},
            {"document", {{"name", "Synthetic Assembly v1"}, {"version", "v1"}}},
            {"units", "mm"},
            {"appearances", appearances},
            {"components", components},
            {"root", "root"}};
}
