#include "step/DesignCodec.h"

#include <cstring>
#include <type_traits>

namespace steploader {
namespace {

constexpr char kMagic[8] = {'Q', 'S', 'T', 'E', 'P', 'D', '3', '\n'};

class Writer {
  public:
    template <typename T>
    void value(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes_.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    void text(const std::string& s) {
        value<std::uint64_t>(s.size());
        bytes_.append(s);
    }
    template <typename T>
    void array(const std::vector<T>& v) {
        value<std::uint64_t>(v.size());
        bytes_.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
    }
    void raw(const char* data, std::size_t size) { bytes_.append(data, size); }
    std::string take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    template <typename T>
    T value() {
        T v;
        std::memcpy(&v, need(sizeof v), sizeof v);
        return v;
    }
    std::string text() {
        const std::size_t size = count(1);
        return std::string(need(size), size);
    }
    template <typename T>
    std::vector<T> array() {
        const std::size_t size = count(sizeof(T));
        std::vector<T> v(size);
        if (size != 0) std::memcpy(v.data(), need(size * sizeof(T)), size * sizeof(T));
        return v;
    }
    // An element count, checked against the bytes left so that a corrupt
    // count cannot ask for a huge allocation.
    std::size_t count(std::size_t elementSize) {
        const auto n = value<std::uint64_t>();
        if (n > (bytes_.size() - position_) / elementSize) fail();
        return static_cast<std::size_t>(n);
    }
    const char* need(std::size_t size) {
        if (size > bytes_.size() - position_) fail();
        const char* p = bytes_.data() + position_;
        position_ += size;
        return p;
    }
    bool atEnd() const { return position_ == bytes_.size(); }
    [[noreturn]] static void fail() { throw LoadError("the loaded design arrived incomplete"); }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// Smallest encoded sizes, used to bound element counts.
constexpr std::size_t kMinAppearance = 8 + 8 + 3;
constexpr std::size_t kMinFace = 4 + 4 * 8;
constexpr std::size_t kMinBody = 8 + 2 + 4 + 16 + 24 + 8;
constexpr std::size_t kMinOccurrence = 8 + 4 + 1 + 4 + 16 * 8;
constexpr std::size_t kMinComponent = 8 + 8 + 8;

}  // namespace

std::string encodeDesign(const Design& design) {
    Writer w;
    w.raw(kMagic, sizeof kMagic);
    w.text(design.documentName);
    w.text(design.units);
    w.value<std::uint64_t>(design.appearances.size());
    for (const Appearance& a : design.appearances) {
        w.text(a.id);
        w.text(a.name);
        w.value(a.colour.red);
        w.value(a.colour.green);
        w.value(a.colour.blue);
    }
    w.value<std::uint64_t>(design.components.size());
    for (const Component& c : design.components) {
        w.text(c.name);
        w.value<std::uint64_t>(c.bodies.size());
        for (const Body& b : c.bodies) {
            w.text(b.name);
            w.value<std::uint8_t>(b.visible);
            w.value<std::uint8_t>(b.solid);
            w.value<std::int32_t>(b.appearance);
            w.value(b.area);
            w.value(b.volume);
            w.value(b.centre);
            w.value<std::uint64_t>(b.faces.size());
            for (const Face& f : b.faces) {
                w.value<std::int32_t>(f.appearance);
                w.array(f.mesh.coordinates);
                w.array(f.mesh.normals);
                w.array(f.mesh.textureCoordinates);
                w.array(f.mesh.indices);
            }
        }
        w.value<std::uint64_t>(c.occurrences.size());
        for (const Occurrence& o : c.occurrences) {
            w.text(o.name);
            w.value<std::int32_t>(o.component);
            w.value<std::uint8_t>(o.visible);
            w.value<std::int32_t>(o.appearance);
            w.value(o.transform);
        }
    }
    w.value<std::int32_t>(design.root);
    w.value(design.timings);
    return w.take();
}

Design decodeDesign(std::string_view bytes) {
    Reader r(bytes);
    if (std::memcmp(r.need(sizeof kMagic), kMagic, sizeof kMagic) != 0) Reader::fail();
    Design design;
    design.documentName = r.text();
    design.units = r.text();
    design.appearances.resize(r.count(kMinAppearance));
    for (Appearance& a : design.appearances) {
        a.id = r.text();
        a.name = r.text();
        a.colour.red = r.value<std::uint8_t>();
        a.colour.green = r.value<std::uint8_t>();
        a.colour.blue = r.value<std::uint8_t>();
    }
    const int appearanceCount = static_cast<int>(design.appearances.size());
    auto appearance = [&](std::int32_t index) {
        if (index < kNoAppearance || index >= appearanceCount) Reader::fail();
        return index;
    };
    design.components.resize(r.count(kMinComponent));
    const int componentCount = static_cast<int>(design.components.size());
    for (Component& c : design.components) {
        c.name = r.text();
        c.bodies.resize(r.count(kMinBody));
        for (Body& b : c.bodies) {
            b.name = r.text();
            b.visible = r.value<std::uint8_t>() != 0;
            b.solid = r.value<std::uint8_t>() != 0;
            b.appearance = appearance(r.value<std::int32_t>());
            b.area = r.value<double>();
            b.volume = r.value<double>();
            b.centre = r.value<std::array<double, 3>>();
            b.faces.resize(r.count(kMinFace));
            for (Face& f : b.faces) {
                f.appearance = appearance(r.value<std::int32_t>());
                f.mesh.coordinates = r.array<float>();
                f.mesh.normals = r.array<float>();
                f.mesh.textureCoordinates = r.array<float>();
                f.mesh.indices = r.array<int>();
            }
        }
        c.occurrences.resize(r.count(kMinOccurrence));
        for (Occurrence& o : c.occurrences) {
            o.name = r.text();
            o.component = r.value<std::int32_t>();
            if (o.component < 0 || o.component >= componentCount) Reader::fail();
            o.visible = r.value<std::uint8_t>() != 0;
            o.appearance = appearance(r.value<std::int32_t>());
            o.transform = r.value<Transform>();
        }
    }
    design.root = r.value<std::int32_t>();
    if (design.root < 0 || design.root >= componentCount) Reader::fail();
    design.timings = r.value<Timings>();
    if (!r.atEnd()) Reader::fail();
    return design;
}

}  // namespace steploader
