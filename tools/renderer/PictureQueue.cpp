#include "PictureQueue.h"

#include <algorithm>

#include "RendererServer.h"
#include "ScenePicture.h"

namespace renderer {

PictureQueue::~PictureQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void PictureQueue::add(const std::string& scenePath) {
    {
        std::lock_guard lock(mutex_);
        if (std::find(pending_.begin(), pending_.end(), scenePath) == pending_.end())
            pending_.push_back(scenePath);
        if (!thread_.joinable()) thread_ = std::thread([this] { work(); });
    }
    wake_.notify_one();
}

void PictureQueue::work() {
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (pending_.empty()) return;
            path = std::move(pending_.front());
            pending_.pop_front();
        }
        logLine(renderScenePicture(path));
    }
}

}  // namespace renderer
