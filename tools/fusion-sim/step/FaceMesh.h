// Display mesh of one B-rep face from the triangulation BRepMesh left on it.
#pragma once

#include <TopoDS_Face.hxx>

#include "step/StepDesign.h"

namespace steploader {

// The face's triangulation with the face's location applied, triangles wound
// and normals pointing along the face's orientation in its body, and texture
// coordinates from the surface parameters. Node coordinates are multiplied by
// `scale` (the model's unit in centimetres); texture coordinates stay the
// surface's own parameters. A face without triangulation gives an empty mesh.
Mesh faceMesh(const TopoDS_Face& face, double scale = 1.0);

}  // namespace steploader
