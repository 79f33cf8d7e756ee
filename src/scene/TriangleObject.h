// Geometry nodes: the geometry base and the triangle mesh object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/LightNode.h"

namespace orv {

class Material;

// A named piece of geometry with its material. Once defined it is written as an
// instance of its definition, referred to by object id.
class LightGeometry : public LightNode {
  public:
    explicit LightGeometry(std::string name);

    void write(orvSceneapi_oo& oo) override = 0;
    void define(orvSceneapi_oo& oo) override = 0;
    bool isDefined() const override { return defined; }
    ~LightGeometry() override;
    virtual void setMaterial(std::shared_ptr<Material> value);
    virtual std::shared_ptr<Material> getMaterial() const;
    virtual void setName(const std::string& value);
    virtual std::string getName() const;

    void markDefined(int64_t objectIdValue);
    int64_t objectId() const { return id; }

  protected:
    std::string name;
    std::shared_ptr<Material> material;

  private:
    bool defined = false;
    int64_t id = 0;
};

// A triangle mesh: vertex positions, vertex indices and optional uvs, normals
// (each per vertex or through their own index arrays) and vertex colours.
class TriangleObject : public LightGeometry {
  public:
    // Starts with a material of its own: a Diffuse named "default".
    explicit TriangleObject(std::string name);

    // Validates, writes the object block when there are triangles, and reports
    // any inconsistency found as an "#error" statement.
    void write(orvSceneapi_oo& oo) override;
    // Writes a "#define object" with a new id, then drops the arrays.
    void define(orvSceneapi_oo& oo) override;

    // Each replaces the array with count elements starting at data.
    void setVertices(const float* data, std::size_t count);
    void setTriangles(const int32_t* data, std::size_t count);
    void setUvs(const float* data, std::size_t count);
    void setNormals(const float* data, std::size_t count);
    // Take over filled arrays without copying them (large host meshes).
    void setVertices(std::vector<float>&& values) { vertices = std::move(values); }
    void setTriangles(std::vector<int32_t>&& values) { triangles = std::move(values); }
    void setUvs(std::vector<float>&& values) { uvs = std::move(values); }
    void setNormals(std::vector<float>&& values) { normals = std::move(values); }

    // Checks the array counts against each other and stores the findings in
    // message. True when the object can be written (it has triangles).
    bool validate();
    const std::string& getMessage() const { return message; }

    const std::vector<float>& getVertices() const { return vertices; }
    const std::vector<int32_t>& getTriangles() const { return triangles; }
    const std::vector<float>& getUvs() const { return uvs; }
    const std::vector<int32_t>& getUvIndices() const { return uvIndices; }
    const std::vector<float>& getNormals() const { return normals; }
    const std::vector<int32_t>& getNormalIndices() const { return normalIndices; }
    const std::vector<float>& getVertexColors() const { return vertexColors; }

  protected:
    // Geometry block: an "instance" reference once defined, else the arrays.
    void writeBody(orvSceneapi_oo& oo);

    std::vector<float> vertices;
    std::vector<int32_t> triangles;
    std::vector<float> uvs;
    std::vector<int32_t> uvIndices;
    std::vector<float> normals;
    std::vector<int32_t> normalIndices;
    std::vector<float> vertexColors;
    uint32_t flags = 0;
    std::string message;
};

}  // namespace orv
