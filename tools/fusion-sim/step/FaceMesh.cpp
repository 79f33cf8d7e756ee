#include "step/FaceMesh.h"

#include <BRep_Tool.hxx>
#include <GeomLProp_SLProps.hxx>
#include <Geom_Surface.hxx>
#include <Poly_Triangulation.hxx>
#include <TopLoc_Location.hxx>
#include <algorithm>
#include <cmath>
#include <gp_Trsf.hxx>
#include <gp_Vec.hxx>
#include <utility>

namespace steploader {
namespace {

// Area-weighted triangle normals summed per node: the fallback where the
// surface has no normal (apex of a cone, pole of a sphere, degenerate patch).
std::vector<gp_Vec> windingNormals(const Mesh& mesh) {
    const std::size_t nodes = mesh.coordinates.size() / 3;
    std::vector<gp_Vec> sums(nodes, gp_Vec(0, 0, 0));
    auto point = [&](int i) {
        return gp_Vec(mesh.coordinates[3 * i], mesh.coordinates[3 * i + 1],
                      mesh.coordinates[3 * i + 2]);
    };
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const int a = mesh.indices[t], b = mesh.indices[t + 1], c = mesh.indices[t + 2];
        const gp_Vec n = (point(b) - point(a)).Crossed(point(c) - point(a));
        sums[a] += n;
        sums[b] += n;
        sums[c] += n;
    }
    return sums;
}

void setNormal(Mesh& mesh, std::size_t node, const gp_Vec& normal) {
    mesh.normals[3 * node] = static_cast<float>(normal.X());
    mesh.normals[3 * node + 1] = static_cast<float>(normal.Y());
    mesh.normals[3 * node + 2] = static_cast<float>(normal.Z());
}

}  // namespace

Mesh faceMesh(const TopoDS_Face& face, double scale) {
    Mesh mesh;
    TopLoc_Location location;
    const Handle(Poly_Triangulation) triangulation = BRep_Tool::Triangulation(face, location);
    if (triangulation.IsNull() || triangulation->NbTriangles() == 0) return mesh;

    const gp_Trsf placement = location.Transformation();
    const bool reversed = face.Orientation() == TopAbs_REVERSED;
    const int nodeCount = triangulation->NbNodes();

    mesh.coordinates.reserve(3 * nodeCount);
    for (int i = 1; i <= nodeCount; ++i) {
        const gp_Pnt p = triangulation->Node(i).Transformed(placement);
        mesh.coordinates.push_back(static_cast<float>(p.X() * scale));
        mesh.coordinates.push_back(static_cast<float>(p.Y() * scale));
        mesh.coordinates.push_back(static_cast<float>(p.Z() * scale));
    }

    mesh.indices.reserve(3 * triangulation->NbTriangles());
    for (int t = 1; t <= triangulation->NbTriangles(); ++t) {
        int n1 = 0, n2 = 0, n3 = 0;
        triangulation->Triangle(t).Get(n1, n2, n3);
        if (reversed) std::swap(n2, n3);
        mesh.indices.push_back(n1 - 1);
        mesh.indices.push_back(n2 - 1);
        mesh.indices.push_back(n3 - 1);
    }

    if (triangulation->HasUVNodes()) {
        mesh.textureCoordinates.reserve(2 * nodeCount);
        for (int i = 1; i <= nodeCount; ++i) {
            const gp_Pnt2d uv = triangulation->UVNode(i);
            mesh.textureCoordinates.push_back(static_cast<float>(uv.X()));
            mesh.textureCoordinates.push_back(static_cast<float>(uv.Y()));
        }
    }

    mesh.normals.assign(3 * nodeCount, 0.0f);
    const double flip = reversed ? -1.0 : 1.0;
    std::vector<bool> known(nodeCount, false);
    if (triangulation->HasNormals()) {
        for (int i = 1; i <= nodeCount; ++i) {
            const gp_Dir n = triangulation->Normal(i).Transformed(placement);
            setNormal(mesh, i - 1, gp_Vec(n) * flip);
            known[i - 1] = true;
        }
    } else if (triangulation->HasUVNodes()) {
        TopLoc_Location surfaceLocation;
        const Handle(Geom_Surface) surface = BRep_Tool::Surface(face, surfaceLocation);
        if (!surface.IsNull()) {
            const gp_Trsf surfacePlacement = surfaceLocation.Transformation();
            GeomLProp_SLProps props(surface, 1, 1e-9);
            for (int i = 1; i <= nodeCount; ++i) {
                const gp_Pnt2d uv = triangulation->UVNode(i);
                props.SetParameters(uv.X(), uv.Y());
                if (!props.IsNormalDefined()) continue;
                setNormal(mesh, i - 1, gp_Vec(props.Normal().Transformed(surfacePlacement)) * flip);
                known[i - 1] = true;
            }
        }
    }
    if (std::find(known.begin(), known.end(), false) != known.end()) {
        const std::vector<gp_Vec> sums = windingNormals(mesh);
        for (int i = 0; i < nodeCount; ++i) {
            if (known[i]) continue;
            const double length = sums[i].Magnitude();
            setNormal(mesh, i, length > 0 ? sums[i] / length : gp_Vec(0, 0, 1));
        }
    }
    return mesh;
}

}  // namespace steploader
