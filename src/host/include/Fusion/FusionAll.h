#pragma once
// Every class of the design interface: designs, components, occurrences, B-rep
// bodies and their meshes.

#include <Fusion/FusionTypeDefs.h>
#include <Fusion/BRep/BRepBodies.h>
#include <Fusion/BRep/BRepBody.h>
#include <Fusion/BRep/BRepFace.h>
#include <Fusion/BRep/BRepFaces.h>
#include <Fusion/Components/Component.h>
#include <Fusion/Components/Components.h>
#include <Fusion/Components/Occurrence.h>
#include <Fusion/Components/OccurrenceList.h>
#include <Fusion/Components/Occurrences.h>
#include <Fusion/Fusion/Design.h>
#include <Fusion/Fusion/FusionUnitsManager.h>
#include <Fusion/Fusion/PhysicalProperties.h>
#include <Fusion/MeshData/MeshManager.h>
#include <Fusion/MeshData/TriangleMesh.h>
#include <Fusion/MeshData/TriangleMeshList.h>
