// Exact area, volume and centre of mass of bodies by OpenCASCADE's
// integration, computed on background threads while the caller goes on
// transferring and meshing, so that the integration costs no time of its own
// on a machine with a core to spare.
#pragma once

#include <NCollection_DataMap.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS_Shape.hxx>
#include <array>
#include <condition_variable>
#include <deque>
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
    // Starts the measuring threads: one fewer than the processors (at least
    // one), as the caller's thread transfers and meshes meanwhile.
    BodyMeasures();
    ~BodyMeasures();
    BodyMeasures(const BodyMeasures&) = delete;
    BodyMeasures& operator=(const BodyMeasures&) = delete;

    // Queues one body; a shape given again is measured once. Its topology is
    // copied here, on the caller's thread (its geometry is shared): the caller
    // goes on transferring and meshing the originals, which adds curves,
    // triangulations and polygons to their edges and faces.
    void add(const TopoDS_Shape& body);

    // Takes no more bodies, measures what is left on this thread too and
    // waits for the rest. Throws std::runtime_error with OpenCASCADE's message
    // when a body failed.
    void finish();

    // The measures of a body given to add() (as found again by exploring the
    // same part); zero for a shape that was not given. Call after finish().
    Measures of(const TopoDS_Shape& body) const;

  private:
    struct Job {
        TopoDS_Shape copy;
        Measures result;
    };

    void work(bool waitForMore);
    void join();

    // Jobs are only appended, so a job being measured never moves.
    std::deque<Job> jobs_;
    std::size_t next_ = 0;  // the first job nobody has taken
    bool closed_ = false;
    std::mutex guard_;  // jobs_' length, next_, closed_, error_
    std::condition_variable queued_;
    std::string error_;
    // Used on the caller's thread only.
    NCollection_DataMap<TopoDS_Shape, int, TopTools_ShapeMapHasher> index_;
    std::vector<std::thread> workers_;
};

// The bodies of a part as the design has them, in order: its solids, shells
// outside solids, and faces outside shells.
std::vector<TopoDS_Shape> bodiesOf(const TopoDS_Shape& part);

}  // namespace steploader
