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

BodyMeasures::BodyMeasures() {
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const unsigned wanted = std::max(1u, processors - 1);
    try {
        for (unsigned i = 0; i < wanted; ++i) workers_.emplace_back([this] { work(true); });
    } catch (const std::system_error&) {
        // No more threads: finish() measures the rest on the caller's thread.
    }
}

BodyMeasures::~BodyMeasures() {
    {
        std::lock_guard<std::mutex> lock(guard_);
        closed_ = true;
        next_ = jobs_.size();  // the workers stop after their current body
    }
    queued_.notify_all();
    join();
}

void BodyMeasures::add(const TopoDS_Shape& body) {
    if (body.IsNull() || index_.IsBound(body)) return;
    Job job{BRepBuilderAPI_Copy(body, false, false).Shape(), {}};
    {
        std::lock_guard<std::mutex> lock(guard_);
        index_.Bind(body, static_cast<int>(jobs_.size()));
        jobs_.push_back(std::move(job));
    }
    queued_.notify_one();
}

void BodyMeasures::work(bool waitForMore) {
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(guard_);
            if (waitForMore) queued_.wait(lock, [this] { return next_ < jobs_.size() || closed_; });
            if (next_ == jobs_.size()) return;
            job = &jobs_[next_++];
        }
        std::string failed;
        try {
            job->result = measure(job->copy);
        } catch (const Standard_Failure& failure) {
            const char* text = failure.GetMessageString();
            failed = std::string("measuring a body failed: ") + failure.DynamicType()->Name() +
                     (text && *text ? std::string(": ") + text : std::string());
        } catch (const std::exception& failure) {
            failed = std::string("measuring a body failed: ") + failure.what();
        }
        if (!failed.empty()) {
            std::lock_guard<std::mutex> lock(guard_);
            if (error_.empty()) error_ = failed;
        }
    }
}

void BodyMeasures::join() {
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
    workers_.clear();
}

void BodyMeasures::finish() {
    {
        std::lock_guard<std::mutex> lock(guard_);
        closed_ = true;
    }
    queued_.notify_all();
    work(false);
    join();
    if (!error_.empty()) throw std::runtime_error(error_);
}

Measures BodyMeasures::of(const TopoDS_Shape& body) const {
    const int* found = index_.Seek(body);
    return found ? jobs_[static_cast<std::size_t>(*found)].result : Measures{};
}

}  // namespace steploader
