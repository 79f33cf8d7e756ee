#include "tools/fusion-sim/JsonDesignLoader.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>

#include "host/Primitives.h"
#include "platform/Platform.h"
#include "tools/fusion-sim/BoundedFile.h"
#include "tools/fusion-sim/DesignLimits.h"
#include "tools/fusion-sim/JsonTextCheck.h"

namespace fusionsim {

using nlohmann::json;

namespace {

std::string member(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string element(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

// A design file is text a person or a program wrote; anything larger is refused.
constexpr size_t kMaxDesignFileBytes = size_t(64) << 20;

// A value named in a message: short scalars as they are, anything else by
// its kind, so that no message grows with the input.
std::string shortText(const json& j) {
    if (j.is_string() && j.get_ref<const std::string&>().size() <= 64) return j.dump();
    if (j.is_number() || j.is_boolean() || j.is_null()) return j.dump();
    return std::string("a") + (j.is_array() || j.is_object() ? "n " : " ") + j.type_name();
}

// Reads one design file, tracking the JSON path of every value for the messages.
class Reader {
  public:
    Reader(std::string file, std::filesystem::path baseFolder)
        : file_(std::move(file)), baseFolder_(std::move(baseFolder)) {}

    host::DocumentData document(const json& root) const;

  private:
    [[noreturn]] void fail(const std::string& path, const std::string& cause) const {
        throw DesignError(file_, path, cause);
    }

    void expectObject(const json& j, const std::string& path) const {
        if (!j.is_object()) fail(path, std::string("expected an object, found ") + j.type_name());
    }
    const json& expectArray(const json& j, const std::string& path) const {
        if (!j.is_array()) fail(path, std::string("expected an array, found ") + j.type_name());
        return j;
    }
    void allowOnly(const json& object, const std::string& path,
                   std::initializer_list<const char*> keys) const {
        for (const auto& item : object.items()) {
            bool known = false;
            for (const char* key : keys) known = known || item.key() == key;
            if (!known) fail(member(path, item.key()), "unknown field");
        }
    }
    const json* find(const json& object, const char* key) const {
        auto it = object.find(key);
        return it == object.end() ? nullptr : &*it;
    }

    std::string text(const json& j, const std::string& path) const {
        if (!j.is_string()) fail(path, std::string("expected a string, found ") + j.type_name());
        return j.get<std::string>();
    }
    std::string text(const json& object, const std::string& path, const char* key,
                     const std::string& fallback) const {
        const json* j = find(object, key);
        return j ? text(*j, member(path, key)) : fallback;
    }
    // An id, or none for null or an absent field.
    std::optional<std::string> optionalId(const json& object, const std::string& path,
                                          const char* key) const {
        const json* j = find(object, key);
        if (!j || j->is_null()) return std::nullopt;
        return text(*j, member(path, key));
    }
    bool boolean(const json& object, const std::string& path, const char* key,
                 bool fallback) const {
        const json* j = find(object, key);
        if (!j) return fallback;
        if (!j->is_boolean())
            fail(member(path, key), std::string("expected true or false, found ") + j->type_name());
        return j->get<bool>();
    }
    double number(const json& j, const std::string& path) const {
        if (!j.is_number()) fail(path, std::string("expected a number, found ") + j.type_name());
        return j.get<double>();
    }
    double number(const json& object, const std::string& path, const char* key,
                  double fallback) const {
        const json* j = find(object, key);
        return j ? number(*j, member(path, key)) : fallback;
    }
    double positive(const json& object, const std::string& path, const char* key,
                    double fallback) const {
        const double value = number(object, path, key, fallback);
        if (!(value > 0)) fail(member(path, key), "must be greater than 0");
        return value;
    }
    long long integer(const json& j, const std::string& path, long long low, long long high) const {
        double value = 0;
        if (j.is_number_integer())
            value = double(j.get<long long>());
        else if (j.is_number_unsigned())
            value = double(j.get<unsigned long long>());
        else if (j.is_number_float() && std::floor(j.get<double>()) == j.get<double>())
            value = j.get<double>();
        else
            fail(path, std::string("expected a whole number, found ") +
                           (j.is_number() ? j.dump() : j.type_name()));
        if (value < double(low) || value > double(high))
            fail(path, "must be between " + std::to_string(low) + " and " + std::to_string(high));
        return (long long)value;
    }
    int count(const json& object, const std::string& path, const char* key, int fallback,
              int least) const {
        const json* j = find(object, key);
        return j ? int(integer(*j, member(path, key), least, 2048)) : fallback;
    }
    std::vector<float> floats(const json& j, const std::string& path) const {
        expectArray(j, path);
        std::vector<float> values;
        values.reserve(j.size());
        for (size_t i = 0; i < j.size(); ++i) {
            const json& v = j[i];
            if (!v.is_number())
                fail(element(path, i), std::string("expected a number, found ") + v.type_name());
            values.push_back(v.get<float>());
        }
        return values;
    }
    std::vector<int> ints(const json& j, const std::string& path) const {
        expectArray(j, path);
        std::vector<int> values;
        values.reserve(j.size());
        for (size_t i = 0; i < j.size(); ++i) {
            const json& v = j[i];
            if (v.is_number_integer() && v.get<long long>() >= std::numeric_limits<int>::min() &&
                v.get<long long>() <= std::numeric_limits<int>::max())
                values.push_back(int(v.get<long long>()));
            else
                values.push_back(int(integer(v, element(path, i), std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max())));
        }
        return values;
    }
    host::Vec3 vec3(const json& j, const std::string& path) const {
        expectArray(j, path);
        if (j.size() != 3) fail(path, "expected 3 numbers, found " + std::to_string(j.size()));
        return {number(j[0], element(path, 0)), number(j[1], element(path, 1)),
                number(j[2], element(path, 2))};
    }
    host::Vec3 vec3(const json& object, const std::string& path, const char* key,
                    const host::Vec3& fallback) const {
        const json* j = find(object, key);
        return j ? vec3(*j, member(path, key)) : fallback;
    }

    host::CameraData camera(const json& j, const std::string& path) const;
    std::vector<host::PropertyData> properties(const json& j, const std::string& path) const;
    host::PropertyData property(const json& j, const std::string& path) const;
    host::AppearanceData appearance(const json& j, const std::string& path) const;
    host::ComponentData component(const json& j, const std::string& path) const;
    host::BodyData body(const json& j, const std::string& path, size_t index) const;
    std::vector<host::FaceData> shape(const json& j, const std::string& path) const;
    host::FaceData face(const json& j, const std::string& path) const;
    host::MeshData mesh(const json& j, const std::string& path) const;
    host::OccurrenceData occurrence(const json& j, const std::string& path) const;
    host::Transform transform(const json& j, const std::string& path) const;
    host::DesignData design(const json& j, const std::string& path) const;

    // Shapes are generated while reading: their triangles are counted first.
    void reserveTriangles(uint64_t triangles, const std::string& path) const {
        triangles_ += triangles;
        if (triangles_ > kMaxDesignTriangles)
            fail(path, "the design asks for more than " + std::to_string(kMaxDesignTriangles) +
                           " triangles, the most fusion-sim loads");
    }

    std::string file_;
    std::filesystem::path baseFolder_;
    mutable uint64_t triangles_ = 0;
};

host::CameraData Reader::camera(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"type", "eye", "target", "up", "perspectiveAngle"});
    host::CameraData c;
    const std::string type = text(j, path, "type", "perspective");
    if (type == "orthographic")
        c.type = adsk::core::OrthographicCameraType;
    else if (type == "perspective")
        c.type = adsk::core::PerspectiveCameraType;
    else if (type == "perspective-with-ortho-faces")
        c.type = adsk::core::PerspectiveWithOrthoFacesCameraType;
    else
        fail(member(path, "type"), "unknown camera type \"" + type +
                                       "\" (expected orthographic, perspective or "
                                       "perspective-with-ortho-faces)");
    c.eye = vec3(j, path, "eye", c.eye);
    c.target = vec3(j, path, "target", c.target);
    c.up = vec3(j, path, "up", c.up);
    c.perspectiveAngle = number(j, path, "perspectiveAngle", c.perspectiveAngle);
    return c;
}

std::vector<host::PropertyData> Reader::properties(const json& j, const std::string& path) const {
    expectArray(j, path);
    std::vector<host::PropertyData> list;
    for (size_t i = 0; i < j.size(); ++i) list.push_back(property(j[i], element(path, i)));
    return list;
}

host::PropertyData Reader::property(const json& j, const std::string& path) const {
    expectObject(j, path);
    if (!find(j, "id")) fail(member(path, "id"), "missing");
    if (!find(j, "type")) fail(member(path, "type"), "missing");
    host::PropertyData p;
    p.id = text(j["id"], member(path, "id"));
    p.name = text(j, path, "name", p.id);
    const std::string type = text(j["type"], member(path, "type"));
    const json* value = find(j, "value");
    if (type == "color") {
        allowOnly(j, path, {"id", "name", "type", "value", "texture"});
        p.kind = host::PropertyKind::Color;
        if (value && !value->is_null()) {
            const std::string at = member(path, "value");
            expectArray(*value, at);
            if (value->size() != 4)
                fail(at, "expected red, green, blue and opacity (4 whole numbers from 0 to 255)");
            std::array<int, 4> rgba{};
            for (size_t k = 0; k < 4; ++k)
                rgba[k] = int(integer((*value)[k], element(at, k), 0, 255));
            p.color = rgba;
        }
        if (const json* texture = find(j, "texture"); texture && !texture->is_null()) {
            const std::string at = member(path, "texture");
            expectObject(*texture, at);
            allowOnly(*texture, at, {"properties"});
            p.hasTexture = true;
            if (const json* list = find(*texture, "properties"))
                p.textureProperties = properties(*list, member(at, "properties"));
        }
    } else if (type == "filename") {
        allowOnly(j, path, {"id", "name", "type", "value"});
        p.kind = host::PropertyKind::Filename;
        if (!value) fail(member(path, "value"), "missing");
        const std::string file = text(*value, member(path, "value"));
        const std::filesystem::path filePath = platform::systemPath(file);
        p.filename = file.empty() || filePath.is_absolute()
                         ? file
                         : platform::utf8Path((baseFolder_ / filePath).lexically_normal());
    } else {
        // Any other type stays a plain property; a float value is kept as a number.
        allowOnly(j, path, {"id", "name", "type", "value"});
        if (type == "float" && value && value->is_number()) {
            p.kind = host::PropertyKind::Float;
            p.number = value->get<double>();
        }
    }
    return p;
}

host::AppearanceData Reader::appearance(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"id", "name", "properties"});
    if (!find(j, "id")) fail(member(path, "id"), "missing");
    host::AppearanceData a;
    a.id = text(j["id"], member(path, "id"));
    a.name = text(j, path, "name", a.id);
    if (const json* list = find(j, "properties"))
        a.properties = properties(*list, member(path, "properties"));
    return a;
}

host::MeshData Reader::mesh(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"coordinates", "normals", "textureCoordinates", "indices"});
    host::MeshData m;
    if (!find(j, "coordinates")) fail(member(path, "coordinates"), "missing");
    if (!find(j, "indices")) fail(member(path, "indices"), "missing");
    m.coordinates = floats(j["coordinates"], member(path, "coordinates"));
    if (const json* n = find(j, "normals")) m.normals = floats(*n, member(path, "normals"));
    if (const json* t = find(j, "textureCoordinates"))
        m.textureCoordinates = floats(*t, member(path, "textureCoordinates"));
    m.indices = ints(j["indices"], member(path, "indices"));
    reserveTriangles(m.indices.size() / 3, path);
    return m;
}

host::FaceData Reader::face(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"appearance", "meshes"});
    host::FaceData f;
    f.appearance = optionalId(j, path, "appearance");
    if (const json* list = find(j, "meshes")) {
        const std::string at = member(path, "meshes");
        expectArray(*list, at);
        for (size_t i = 0; i < list->size(); ++i)
            f.meshes.push_back(mesh((*list)[i], element(at, i)));
    }
    return f;
}

std::vector<host::FaceData> Reader::shape(const json& j, const std::string& path) const {
    expectObject(j, path);
    if (!find(j, "type")) fail(member(path, "type"), "missing");
    const std::string type = text(j["type"], member(path, "type"));
    if (type == "box") {
        allowOnly(j, path, {"type", "size", "center"});
        const host::Vec3 size = vec3(j, path, "size", {1, 1, 1});
        for (int k = 0; k < 3; ++k)
            if (!(size[k] > 0)) fail(element(member(path, "size"), k), "must be greater than 0");
        return host::makeBox(size, vec3(j, path, "center", {0, 0, 0}));
    }
    if (type == "cylinder") {
        allowOnly(j, path, {"type", "radius", "height", "segments", "center", "axis"});
        const std::string axisText = text(j, path, "axis", "z");
        host::Axis axis = host::Axis::Z;
        if (axisText == "x")
            axis = host::Axis::X;
        else if (axisText == "y")
            axis = host::Axis::Y;
        else if (axisText != "z")
            fail(member(path, "axis"), "unknown axis \"" + axisText + "\" (expected x, y or z)");
        const int segments = count(j, path, "segments", 32, 3);
        reserveTriangles(uint64_t(segments) * 4, path);
        return host::makeCylinder(positive(j, path, "radius", 1), positive(j, path, "height", 1),
                                  segments, vec3(j, path, "center", {0, 0, 0}), axis);
    }
    if (type == "sphere") {
        allowOnly(j, path, {"type", "radius", "segments", "rings", "center"});
        const int segments = count(j, path, "segments", 32, 3);
        const int rings = count(j, path, "rings", 16, 2);
        reserveTriangles(uint64_t(segments) * uint64_t(2 * rings - 2), path);
        return host::makeSphere(positive(j, path, "radius", 1), segments, rings,
                                vec3(j, path, "center", {0, 0, 0}));
    }
    fail(member(path, "type"), "unknown shape \"" + type + "\" (expected box, cylinder or sphere)");
}

host::BodyData Reader::body(const json& j, const std::string& path, size_t index) const {
    expectObject(j, path);
    allowOnly(j, path, {"name", "visible", "appearance", "faces", "shape", "faceAppearances"});
    host::BodyData b;
    b.name = text(j, path, "name", "Body" + std::to_string(index + 1));
    b.visible = boolean(j, path, "visible", true);
    b.appearance = optionalId(j, path, "appearance");
    const json* faces = find(j, "faces");
    const json* generator = find(j, "shape");
    if (faces && generator)
        fail(member(path, "shape"), "a body has either faces or a shape, not both");
    if (faces) {
        const std::string at = member(path, "faces");
        expectArray(*faces, at);
        for (size_t i = 0; i < faces->size(); ++i)
            b.faces.push_back(face((*faces)[i], element(at, i)));
    }
    if (generator) b.faces = shape(*generator, member(path, "shape"));
    if (const json* list = find(j, "faceAppearances")) {
        const std::string at = member(path, "faceAppearances");
        expectArray(*list, at);
        if (list->size() > b.faces.size())
            fail(at, std::to_string(list->size()) + " appearances for " +
                         std::to_string(b.faces.size()) + " faces");
        for (size_t i = 0; i < list->size(); ++i)
            b.faces[i].appearance = (*list)[i].is_null()
                                        ? std::nullopt
                                        : std::optional(text((*list)[i], element(at, i)));
    }
    return b;
}

host::Transform Reader::transform(const json& j, const std::string& path) const {
    if (!j.is_array() || j.size() != 4) fail(path, "expected 4 rows of 4 numbers");
    host::Transform t{};
    for (size_t r = 0; r < 4; ++r) {
        const std::string row = element(path, r);
        if (!j[r].is_array() || j[r].size() != 4) fail(row, "expected a row of 4 numbers");
        for (size_t c = 0; c < 4; ++c) t[r * 4 + c] = number(j[r][c], element(row, c));
    }
    return t;
}

host::OccurrenceData Reader::occurrence(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"component", "visible", "appearance", "transform"});
    if (!find(j, "component")) fail(member(path, "component"), "missing");
    host::OccurrenceData o;
    o.component = text(j["component"], member(path, "component"));
    o.visible = boolean(j, path, "visible", true);
    o.appearance = optionalId(j, path, "appearance");
    if (const json* t = find(j, "transform"))
        o.transform = transform(*t, member(path, "transform"));
    return o;
}

host::ComponentData Reader::component(const json& j, const std::string& path) const {
    expectObject(j, path);
    allowOnly(j, path, {"id", "name", "physicalProperties", "bodies", "occurrences"});
    if (!find(j, "id") && !find(j, "name")) fail(member(path, "name"), "missing");
    host::ComponentData c;
    c.name = text(j, path, "name", "");
    c.id = text(j, path, "id", c.name);
    if (c.name.empty()) c.name = c.id;
    if (const json* list = find(j, "bodies")) {
        const std::string at = member(path, "bodies");
        expectArray(*list, at);
        for (size_t i = 0; i < list->size(); ++i)
            c.bodies.push_back(body((*list)[i], element(at, i), i));
    }
    if (const json* list = find(j, "occurrences")) {
        const std::string at = member(path, "occurrences");
        expectArray(*list, at);
        for (size_t i = 0; i < list->size(); ++i)
            c.occurrences.push_back(occurrence((*list)[i], element(at, i)));
    }
    if (const json* physical = find(j, "physicalProperties")) {
        const std::string at = member(path, "physicalProperties");
        expectObject(*physical, at);
        allowOnly(*physical, at, {"area", "volume"});
        if (!find(*physical, "area")) fail(member(at, "area"), "missing");
        if (!find(*physical, "volume")) fail(member(at, "volume"), "missing");
        c.physical = host::PhysicalData{number(*physical, at, "area", 0),
                                        number(*physical, at, "volume", 0)};
    } else {
        c.physical = host::measuredPhysical();
    }
    return c;
}

host::DesignData Reader::design(const json& j, const std::string& path) const {
    host::DesignData d;
    d.units = text(j, path, "units", "cm");
    if (const json* list = find(j, "appearances")) {
        const std::string at = member(path, "appearances");
        expectArray(*list, at);
        for (size_t i = 0; i < list->size(); ++i)
            d.appearances.push_back(appearance((*list)[i], element(at, i)));
    }
    if (const json* list = find(j, "components")) {
        const std::string at = member(path, "components");
        expectArray(*list, at);
        for (size_t i = 0; i < list->size(); ++i)
            d.components.push_back(component((*list)[i], element(at, i)));
    }
    d.root = text(j, path, "root", "");
    return d;
}

host::DocumentData Reader::document(const json& root) const {
    expectObject(root, "");
    allowOnly(root, "",
              {"format", "document", "units", "modelingOrientation", "camera", "appearances",
               "components", "root", "products"});
    const json* format = find(root, "format");
    if (!format) fail("format", "missing (expected \"design/1\")");
    if (!format->is_string() || format->get<std::string>() != "design/1")
        fail("format", "unsupported format " + shortText(*format) + " (expected \"design/1\")");

    host::DocumentData doc;
    doc.name = platform::utf8Path(platform::systemPath(file_).stem());
    if (const json* d = find(root, "document")) {
        expectObject(*d, "document");
        allowOnly(*d, "document", {"name", "saved", "version", "creationId"});
        doc.name = text(*d, "document", "name", doc.name);
        doc.saved = boolean(*d, "document", "saved", true);
        doc.version = text(*d, "document", "version", "");
        doc.creationId = text(*d, "document", "creationId", "");
    }
    if (!doc.saved) doc.version.clear();

    const std::string orientation = text(root, "", "modelingOrientation", "y-up");
    if (orientation == "y-up")
        doc.modelingOrientation = adsk::core::YUpModelingOrientation;
    else if (orientation == "z-up")
        doc.modelingOrientation = adsk::core::ZUpModelingOrientation;
    else
        fail("modelingOrientation",
             "unknown orientation \"" + orientation + "\" (expected y-up or z-up)");
    if (const json* c = find(root, "camera")) doc.camera = camera(*c, "camera");

    if (const json* products = find(root, "products")) {
        for (const char* key : {"units", "appearances", "components", "root"})
            if (find(root, key))
                fail(key, "cannot stand beside \"products\" (each product holds its own design)");
        expectArray(*products, "products");
        for (size_t i = 0; i < products->size(); ++i) {
            const json& p = (*products)[i];
            const std::string at = element("products", i);
            expectObject(p, at);
            const json* type = find(p, "type");
            if (type && text(*type, member(at, "type")) != "DesignProductType") {
                allowOnly(p, at, {"type"});
                doc.products.push_back(host::ProductData{std::nullopt, type->get<std::string>()});
            } else {
                allowOnly(p, at, {"type", "units", "appearances", "components", "root"});
                doc.products.push_back(host::ProductData{design(p, at), ""});
            }
        }
    } else {
        doc.products.push_back(host::ProductData{design(root, ""), ""});
    }

    try {
        host::validateDocument(doc);
    } catch (const host::BuildError& e) {
        const std::string prefix =
            find(root, "products") ? element("products", e.product) + "." : "";
        fail(prefix + e.path, e.cause);
    }
    return doc;
}

}  // namespace

host::DocumentData JsonDesignLoader::load(const std::string& path) const {
    std::string text, cause;
    if (!readBoundedFile(path, kMaxDesignFileBytes, &text, &cause))
        throw DesignError(path, "", cause);
    const auto folder = std::filesystem::absolute(platform::systemPath(path)).parent_path();
    return loadText(text, path, platform::utf8Path(folder));
}

host::DocumentData JsonDesignLoader::loadText(const std::string& text,
                                              const std::string& displayName,
                                              const std::string& baseFolder) const {
    if (auto problem = checkJsonText(text)) throw DesignError(displayName, "", problem->text());
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        std::string cause = e.what();
        // "[json.exception.parse_error.101] parse error at line 2, ..." without the tag
        if (auto end = cause.find("] "); end != std::string::npos) cause = cause.substr(end + 2);
        throw DesignError(displayName, "", "not JSON: " + cause);
    }
    host::DocumentData document =
        Reader(displayName, platform::systemPath(baseFolder)).document(root);
    checkDesignLimits(document, displayName);
    return document;
}

}  // namespace fusionsim
