#pragma once
// What one design may ask of fusion-sim and the add-in in total. Components
// place each other, so a small file can stand for a deep or vast assembly;
// these limits keep the traversal, the memory and the exported file bounded.

#include <cstdint>
#include <string>

#include "host/DesignBuilder.h"

namespace fusionsim {

// Occurrences placed inside each other, counted from a component down.
inline constexpr size_t kMaxPlacementDepth = 256;
// Over the whole assembly, every occurrence counted with its own copy.
inline constexpr uint64_t kMaxDesignTriangles = 5'000'000;
inline constexpr uint64_t kMaxDesignOccurrences = 1'000'000;

// Triangles the mesh data of a body hold.
uint64_t triangleCount(const host::BodyData& body);

// DesignError naming file and the component where a limit is passed. The
// document must have passed host::validateDocument (no occurrence cycles).
void checkDesignLimits(const host::DocumentData& document, const std::string& file);

}  // namespace fusionsim
