#include "step/BodyMeasures.h"

#include <BRepBuilderAPI_Copy.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <cmath>
#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace steploader {
namespace {

Measures measure(const TopoDS_Shape& body) {
    Measures result;
    GProp_GProps surface;
    BRepGProp::SurfaceProperties(body, surface);
    result.area = surface.Mass();
    gp_Pnt centre = surface.Mass() > 0 ? surface.CentreOfMass() : gp_Pnt();
    if (body.ShapeType() == TopAbs_SOLID) {
        GProp_GProps volume;
        BRepGProp::VolumeProperties(body, volume);
        result.volume = std::abs(volume.Mass());
        if (result.volume > 0) centre = volume.CentreOfMass();
    }
    result.centre = {centre.X(), centre.Y(), centre.Z()};
    return result;
}

}  // namespace

std::vector<TopoDS_Shape> bodiesOf(const TopoDS_Shape& part) {
    std::vector<TopoDS_Shape> bodies;
    if (part.IsNull()) return bodies;
    for (TopExp_Explorer solid(part, TopAbs_SOLID); solid.More(); solid.Next())
        bodies.push_back(solid.Current());
    for (TopExp_Explorer shell(part, TopAbs_SHELL, TopAbs_SOLID); shell.More(); shell.Next())
        bodies.push_back(shell.Current());
    for (TopExp_Explorer face(part, TopAbs_FACE, TopAbs_SHELL); face.More(); face.Next())
        bodies.push_back(face.Current());
    return bodies;
}

BodyMeasures::BodyMeasures(const std::vector<TopoDS_Shape>& bodies) {
    copies_.reserve(bodies.size());
    for (const TopoDS_Shape& body : bodies) {
        if (index_.IsBound(body)) continue;  // a part listed twice
        index_.Bind(body, static_cast<int>(copies_.size()));
        copies_.push_back(BRepBuilderAPI_Copy(body, false, false).Shape());
    }
    results_.resize(copies_.size());
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = std::min<std::size_t>(threads, copies_.size());
    try {
        for (std::size_t i = 0; i < wanted; ++i) workers_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // No more threads: finish() measures the rest on the caller's thread.
    }
}

BodyMeasures::~BodyMeasures() {
    next_ = copies_.size();  // the workers stop after their current body
    join();
}

void BodyMeasures::work() {
    for (std::size_t i = next_++; i < copies_.size(); i = next_++) {
        try {
            results_[i] = measure(copies_[i]);
        } catch (const Standard_Failure& failure) {
            const char* text = failure.GetMessageString();
            std::lock_guard<std::mutex> lock(errorGuard_);
            if (error_.empty())
                error_ = std::string("measuring a body failed: ") + failure.DynamicType()->Name() +
                         (text && *text ? std::string(": ") + text : std::string());
        } catch (const std::exception& failure) {
            std::lock_guard<std::mutex> lock(errorGuard_);
            if (error_.empty()) error_ = std::string("measuring a body failed: ") + failure.what();
        }
    }
}

void BodyMeasures::join() {
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
    workers_.clear();
}

void BodyMeasures::finish() {
    work();
    join();
    if (!error_.empty()) throw std::runtime_error(error_);
}

Measures BodyMeasures::of(const TopoDS_Shape& body) const {
    const int* found = index_.Seek(body);
    return found ? results_[*found] : Measures{};
}

}  // namespace steploader
