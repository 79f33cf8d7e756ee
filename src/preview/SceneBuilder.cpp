#include "preview/SceneBuilder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <type_traits>

#include "importers/sceneapi/ValueKinds.h"

namespace preview {

namespace {

// The numbers of a scalar value of any numeric kind (at most `max`); 0 for others.
size_t numbersOf(ValueType type, const void* value, double* out, size_t max) {
    const orv::ValueKind* kind = orv::findValueKind(type);
    if (!kind || kind->array || !kind->numeric() || !value) return 0;
    const size_t n = std::min<size_t>(kind->count, max);
    for (size_t i = 0; i < n; ++i) {
        if (kind->storage == orv::Storage::Float)
            out[i] = static_cast<const float*>(value)[i];
        else if (kind->storage == orv::Storage::Double)
            out[i] = static_cast<const double*>(value)[i];
        else
            out[i] = static_cast<const int32_t*>(value)[i];
    }
    return n;
}

// An element as a float, or as a vertex number (UINT32_MAX when out of range).
template <typename T, typename In>
T convertElement(In v) {
    if constexpr (std::is_same_v<T, float>) {
        return static_cast<float>(v);
    } else {
        const double d = static_cast<double>(v);
        return d >= 0 && d <= 4294967295.0 ? static_cast<uint32_t>(d) : UINT32_MAX;
    }
}

// A string value (kinds 10 and 13), or null.
const char* textOf(ValueType type, const void* value) {
    if (!value) return nullptr;
    if (type == vtString) return static_cast<const char*>(value);
    if (type == vtStringRef) return *static_cast<const char* const*>(value);
    return nullptr;
}

// The elements of a numeric array converted to T, with `spare` more elements
// of capacity behind them; false for other kinds.
template <typename T>
bool arrayOf(ValueType type, const void* value, std::vector<T>& out, size_t spare = 0) {
    const orv::ValueKind* kind = orv::findValueKind(type);
    if (!kind || !kind->array || !kind->numeric() || !value) return false;
    const auto& array = *static_cast<const ArrayRef*>(value);
    const size_t n = array.data && array.count > 0 ? size_t{kind->count} * static_cast<size_t>(array.count) : 0;
    out.clear();
    out.reserve(n + spare);
    out.resize(n);
    auto convert = [&](const auto* in) {
        for (size_t i = 0; i < n; ++i) out[i] = convertElement<T>(in[i]);
    };
    if (kind->storage == orv::Storage::Float)
        convert(static_cast<const float*>(array.data));
    else if (kind->storage == orv::Storage::Double)
        convert(static_cast<const double*>(array.data));
    else
        convert(static_cast<const int32_t*>(array.data));
    return true;
}

}  // namespace

SceneBuilder::SceneBuilder(std::string sceneFolder) : folder(std::move(sceneFolder)) {}

void SceneBuilder::pop() {
    if (!contexts.empty()) contexts.pop_back();
}

bool SceneBuilder::beginGroup(const char*, bool) {
    ++scene.groups;
    push(Context::Group);
    groupWorlds.push_back(groupWorlds.back());
    groupLocals.push_back(kIdentity);
    return true;
}

void SceneBuilder::endGroup() {
    pop();
    if (groupWorlds.size() > 1) {
        groupWorlds.pop_back();
        groupLocals.pop_back();
    }
}

bool SceneBuilder::beginObject(const char*, bool instance) {
    ++scene.objects;
    push(Context::Object);
    PendingObject object;
    object.definition = !instance;
    objects.push_back(std::move(object));
    return true;
}

void SceneBuilder::endObject() {
    pop();
    if (objects.empty()) return;
    finishObject();
    objects.pop_back();
}

void SceneBuilder::finishObject() {
    PendingObject& object = objects.back();
    if (object.hasMesh) {
        // Bodies of a component placed many times arrive once per placement:
        // keeping one copy of equal meshes lets the renderer instance them.
        const uint32_t index = distinctMeshes.add(scene.meshes, std::move(object.mesh));
        if (object.definition) {
            if (object.id) meshById[object.id] = index;
            return;  // a definition is drawn where instances place it
        }
        object.placedId = -1;
        scene.instances.push_back({index, multiply(groupWorlds.back(), object.local), object.look});
    } else if (object.placedId >= 0 && !object.definition) {
        const auto found = meshById.find(static_cast<uint32_t>(object.placedId));
        if (found == meshById.end()) {
            scene.problems.push_back("an object places the undefined object " + std::to_string(object.placedId));
            return;
        }
        scene.instances.push_back({found->second, multiply(groupWorlds.back(), object.local), object.look});
    } else {
        return;
    }
    scene.triangles += scene.meshes[scene.instances.back().mesh].triangles.size() / 3;
}

bool SceneBuilder::beginGeometry(const char* name) {
    push(Context::Geometry);
    if (!objects.empty() && name && std::strcmp(name, "triangles") == 0) {
        objects.back().hasMesh = true;
        objects.back().mesh = Mesh{};
    }
    return true;
}

void SceneBuilder::endGeometry() {
    pop();
    if (objects.empty() || !objects.back().hasMesh) return;
    Mesh& mesh = objects.back().mesh;
    const size_t vertices = mesh.vertices.size() / 3;
    const bool inRange = std::all_of(mesh.triangles.begin(), mesh.triangles.end(),
                                     [&](uint32_t v) { return v < vertices; });
    if (!inRange || mesh.triangles.size() % 3) {
        scene.problems.push_back("a mesh with triangle corners outside its vertices is left out");
        objects.back().hasMesh = false;
        return;
    }
    if (mesh.uvs.size() != 2 * vertices) mesh.uvs.clear();
}

void SceneBuilder::geometryAttribute(const std::string& name, ValueType type, const void* value) {
    PendingObject& object = objects.back();
    double number = 0;
    if (name == "id" && numbersOf(type, value, &number, 1) == 1 && number >= 0) {
        object.placedId = static_cast<int64_t>(number);
        return;
    }
    if (!object.hasMesh) return;
    Mesh& mesh = object.mesh;
    if (name == "vertices") {
        // The spare float lets the renderer share the array with Embree, which
        // reads the last vertex 16 bytes at a time.
        if (arrayOf(type, value, mesh.vertices, 1)) mesh.vertices.resize(mesh.vertices.size() - mesh.vertices.size() % 3);
    } else if (name == "triangles") {
        arrayOf(type, value, mesh.triangles);
    } else if (name == "uv_tex") {
        arrayOf(type, value, mesh.uvs);
    }
}

bool SceneBuilder::beginLoad(const char*) {
    push(Context::Load);
    return true;
}

void SceneBuilder::endLoad() {
    pop();
}

bool SceneBuilder::beginCamera(const char* name) {
    push(Context::Camera);
    scene.cameras.push_back(Camera{});
    scene.cameras.back().present = true;
    scene.cameras.back().name = name ? name : "";
    inCamera = true;
    return true;
}

void SceneBuilder::endCamera() {
    pop();
    inCamera = false;
}

bool SceneBuilder::beginMaterial(const char* name, bool instance) {
    ++scene.materials;
    push(Context::Material);
    openMaterials.push_back({name ? name : "", !instance, 0});
    return true;
}

bool SceneBuilder::useMaterial(const char* name) {
    const auto found = materials.find(name ? name : "");
    if (found != materials.end() && !objects.empty()) objects.back().look = found->second;
    return true;
}

void SceneBuilder::endMaterial() {
    pop();
    if (openMaterials.empty()) return;
    const OpenMaterial material = openMaterials.back();
    openMaterials.pop_back();
    const Look look = lookOf(material.surface);
    if (material.definition)
        materials[material.name] = look;
    else if (!objects.empty())
        objects.back().look = look;
}

Look SceneBuilder::lookOf(int32_t surfaceShader) const {
    Look look;
    const auto found = shaders.find(surfaceShader);
    if (found == shaders.end()) return look;
    look.colour = found->second.diffuse;
    const auto texture = shaders.find(found->second.diffuseInput);
    if (texture != shaders.end() && !texture->second.texture.empty()) {
        std::filesystem::path path(texture->second.texture);
        if (path.is_relative()) path = std::filesystem::path(folder) / path;
        look.texture = path.string();
    }
    return look;
}

void SceneBuilder::bindShaderId(int32_t kind, int32_t shader) {
    if (kind == 0 && !openMaterials.empty()) openMaterials.back().surface = shader;
}

bool SceneBuilder::openShader(const char*, const char* type) {
    push(Context::Shader);
    openShaders.push_back(-1);
    (void)type;
    return true;
}

bool SceneBuilder::defineShader(const char* type, int32_t shader) {
    push(Context::Shader);
    openShaders.push_back(shader);
    shaders[shader] = Shader{type ? type : "", {0.8f, 0.8f, 0.8f}, "", 0};
    return true;
}

void SceneBuilder::endShader() {
    pop();
    if (!openShaders.empty()) openShaders.pop_back();
}

bool SceneBuilder::shaderInputId(const char* name, int32_t shader) {
    if (openShaders.empty() || openShaders.back() < 0 || !name) return true;
    if (std::strcmp(name, "diffuse") == 0) shaders[openShaders.back()].diffuseInput = shader;
    return true;
}

bool SceneBuilder::attribute(const char* rawName, ValueType type, const void* value) {
    if (contexts.empty() || !rawName) return true;
    const std::string name = rawName;
    double v[4] = {};
    switch (contexts.back()) {
        case Context::Geometry:
            if (!objects.empty()) geometryAttribute(name, type, value);
            break;
        case Context::Load:
            if (name == "meter_scale" && numbersOf(type, value, v, 1) == 1 && v[0] > 0) scene.meterScale = v[0];
            // Any number a file holds; only one an int can hold is an axis.
            if (name == "import_up_vector" && numbersOf(type, value, v, 1) == 1 && v[0] >= INT_MIN &&
                v[0] <= INT_MAX)
                scene.upVector = static_cast<int>(v[0]);
            break;
        case Context::Camera: {
            if (scene.cameras.empty()) break;
            Camera& camera = scene.cameras.back();
            if (name == "projection") {
                const char* text = textOf(type, value);
                camera.orthographic = text && std::strcmp(text, "orthographic") == 0;
            } else if (name == "fov" && numbersOf(type, value, v, 1) == 1) {
                camera.fovDegrees = v[0];
            } else if (name == "window" && numbersOf(type, value, v, 4) == 4) {
                camera.window = {v[0], v[1], v[2], v[3]};
            } else if (numbersOf(type, value, v, 3) == 3) {
                if (name == "position") camera.position = {v[0], v[1], v[2]};
                if (name == "direction") camera.direction = {v[0], v[1], v[2]};
                if (name == "up") camera.up = {v[0], v[1], v[2]};
                if (name == "look_at") {
                    camera.lookAt = {v[0], v[1], v[2]};
                    camera.hasLookAt = true;
                }
            }
            break;
        }
        case Context::Shader: {
            if (openShaders.empty() || openShaders.back() < 0) break;
            Shader& shader = shaders[openShaders.back()];
            if (name == "diffuse" && numbersOf(type, value, v, 3) == 3)
                shader.diffuse = {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
            if (name == "texture")
                if (const char* text = textOf(type, value)) shader.texture = text;
            break;
        }
        default:
            break;
    }
    return true;
}

void SceneBuilder::transform(const double m[16]) {
    Matrix matrix;
    std::copy(m, m + 16, matrix.begin());
    if (!contexts.empty() && contexts.back() == Context::Object && !objects.empty()) {
        objects.back().local = multiply(objects.back().local, matrix);
    } else if (!contexts.empty() && contexts.back() == Context::Camera && !scene.cameras.empty()) {
        scene.cameras.back().placement = multiply(scene.cameras.back().placement, matrix);
    } else if (!contexts.empty() && contexts.back() == Context::Group) {
        groupLocals.back() = multiply(groupLocals.back(), matrix);
        groupWorlds.back() = multiply(groupWorlds[groupWorlds.size() - 2], groupLocals.back());
    }
}

void SceneBuilder::setTransform(const double m[16]) {
    if (!contexts.empty() && contexts.back() == Context::Object && !objects.empty())
        objects.back().local = kIdentity;
    else if (!contexts.empty() && contexts.back() == Context::Camera && !scene.cameras.empty())
        scene.cameras.back().placement = kIdentity;
    else if (!contexts.empty() && contexts.back() == Context::Group)
        groupLocals.back() = kIdentity;
    transform(m);
}

void SceneBuilder::id(uint32_t value) {
    if (!contexts.empty() && contexts.back() == Context::Object && !objects.empty()) objects.back().id = value;
}

}  // namespace preview
