// A one-connection live-link receiver for tests: listens on a free loopback
// port, answers the hello and replays every scene frame onto a file writer
// writing into memory, then acknowledges the finish.
#pragma once

#include <cstdint>
#include <string>
#include <thread>

namespace testing_live {

class TestReceiver {
  public:
    enum class Mode { Replay, CloseAfterHello };

    explicit TestReceiver(Mode mode = Mode::Replay);
    ~TestReceiver();

    int port() const { return port_; }
    // Waits until the connection is over; then the results below are set.
    void wait();

    std::string text;     // what the replayed calls wrote
    uint32_t liveId = 0;  // from the hello
    int32_t n = 0;
    bool finished = false;  // the finish frame arrived and was acknowledged

  private:
    void serve();

    Mode mode_;
    int listenFd_ = -1;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace testing_live
