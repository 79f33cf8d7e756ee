// Draws the pictures of written scene files on a thread of its own, so that
// the live link keeps answering queries and transfers while a large scene is
// drawn. A scene queued again before its picture was started is drawn once,
// from its newest file (files are replaced whole, never rewritten in place).
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace renderer {

class PictureQueue {
  public:
    PictureQueue() = default;
    // Draws what is queued, then stops: one picture per scene file at most.
    ~PictureQueue();
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    void add(const std::string& scenePath);

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> pending_;
    bool stopping_ = false;
    std::thread thread_;  // started with the first picture
};

}  // namespace renderer
