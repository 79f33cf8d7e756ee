// Exact area, volume and centre of mass of bodies by OpenCASCADE's integration, computed on
// background threads while the caller meshes the same shapes, so that the
// integration costs no time of its own on a machine with a core to spare.
#pragma once

#include <NCollection_DataMap.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS_Shape.hxx>
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace steploader {

struct Measures {
    double area = 0.0;    // in the model's unit squared
    double volume = 0.0;  // in the model's unit cubed; 0 unless a solid
    // Of the volume for a solid, of the surface otherwise; in the model's unit.
    std::array<double, 3> centre{};
};

class BodyMeasures {
  public:
    // Starts measuring `bodies` at once. Each body's topology is copied first
    // (its geometry is shared), so that meshing the originals, which adds
    // triangulations and polygons to their faces and edges, races with nothing.
    explicit BodyMeasures(const std::vector<TopoDS_Shape>& bodies);
    ~BodyMeasures();
    BodyMeasures(const BodyMeasures&) = delete;
    BodyMeasures& operator=(const BodyMeasures&) = delete;

    // Measures what is left on this thread too and waits for the rest.
    // Throws std::runtime_error with OpenCASCADE's message when a body failed.
    void finish();

    // The measures of one of the bodies given (as found again by exploring the
    // same part); zero for a shape that was not given. Call after finish().
    Measures of(const TopoDS_Shape& body) const;

  private:
    void work();
    void join();

    std::vector<TopoDS_Shape> copies_;
    std::vector<Measures> results_;
    NCollection_DataMap<TopoDS_Shape, int, TopTools_ShapeMapHasher> index_;
    std::atomic<std::size_t> next_{0};
    std::mutex errorGuard_;
    std::string error_;
    std::vector<std::thread> workers_;
};

// The bodies of a part as the design has them, in order: its solids, shells
// outside solids, and faces outside shells.
std::vector<TopoDS_Shape> bodiesOf(const TopoDS_Shape& part);

}  // namespace steploader
