#include "preview/MeshIndex.h"

#include <cstring>

namespace preview {

namespace {

// A fast hash over the bytes of an array, eight at a time.
uint64_t hashBytes(const void* data, size_t size, uint64_t seed) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint64_t h = seed ^ (size * 0x9E3779B97F4A7C15ull);
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    uint64_t tail = 0;
    if (i < size) std::memcpy(&tail, bytes + i, size - i);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 29);
}

template <typename T>
uint64_t hashArray(const std::vector<T>& values, uint64_t seed) {
    return hashBytes(values.data(), values.size() * sizeof(T), seed);
}

// Equal bit for bit (so a NaN equals the same NaN, and 0 differs from -0).
template <typename T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

uint32_t MeshIndex::add(std::vector<Mesh>& meshes, Mesh&& mesh) {
    const uint64_t hash = hashArray(mesh.uvs, hashArray(mesh.triangles, hashArray(mesh.vertices, 1)));
    const auto [first, last] = byHash.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const Mesh& known = meshes[it->second];
        if (sameBits(known.vertices, mesh.vertices) && sameBits(known.triangles, mesh.triangles) &&
            sameBits(known.uvs, mesh.uvs))
            return it->second;
    }
    const auto index = static_cast<uint32_t>(meshes.size());
    meshes.push_back(std::move(mesh));
    byHash.emplace(hash, index);
    return index;
}

}  // namespace preview
