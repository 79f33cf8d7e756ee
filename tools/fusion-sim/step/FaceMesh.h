// Display mesh of one B-rep face from the triangulation BRepMesh left on it.
#pragma once

#include <TopoDS_Face.hxx>

#include "step/StepDesign.h"

namespace steploader {

// The face's triangulation with the face's location applied, triangles wound
// and normals pointing along the face's orientation in its body, and texture
// coordinates from the surface parameters. Lengths stay in the model's unit.
// A face without triangulation gives an empty mesh.
Mesh faceMesh(const TopoDS_Face& face);

}  // namespace steploader
