// The renderer stand-in's network side: listens on the first free port of its
// range on 127.0.0.1, serves scene and query connections in one poll loop,
// keeps the model sets and writes each received model set as a .bip file.
//
// One thread serves the link: a scene is stored, acknowledged and then written
// to its file before the next event is served, so a query that follows a
// transfer sees the file complete. Pictures are drawn on a second thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ModelSets.h"
#include "PictureQueue.h"
#include "livelib/SocketCalls.h"

namespace renderer {

struct ServerOptions {
    int minPort = 4000;
    int maxPort = 4010;
    int32_t versionMajor = 12;
    int32_t versionMinor = 0;
    std::string resourceFolder;  // scenes go to <resourceFolder>/scenes; empty: not written
    int idleExitSeconds = 0;     // 0: never
    bool pictures = true;        // render each written scene to a .png beside it
};

class RendererServer {
  public:
    explicit RendererServer(ServerOptions options);
    ~RendererServer();
    RendererServer(const RendererServer&) = delete;
    RendererServer& operator=(const RendererServer&) = delete;

    // Binds the first free port of the range; error names the range when
    // every port is taken.
    bool listen(std::string* error);
    int port() const { return port_; }

    // Serves until stop is requested (a signal or requestStop) or the idle
    // time passes. Returns the process exit status.
    int run();
    // Safe to call from a signal handler.
    static void requestStop();

    const ModelSets& modelSets() const { return modelSets_; }

  private:
    struct Connection;

    // Takes the waiting connections; false when the listener was ready but
    // none could be taken.
    bool accept();
    // Makes room for a new connection; false when every one has said hello.
    bool dropOneSilentConnection();
    // False when the connection is to be closed.
    bool onReadable(Connection& c);
    bool processInput(Connection& c);
    bool onFrame(Connection& c, uint8_t op, std::vector<uint8_t> payload);
    bool onHello(Connection& c, const uint8_t* hello);
    void finishScene(Connection& c);
    void drop(Connection& c, const std::string& why);

    ServerOptions options_;
    livelink::Socket listenFd_ = livelink::kNoSocket;
    int port_ = 0;
    uint64_t connectionCounter_ = 0;
    std::vector<std::unique_ptr<Connection>> connections_;
    ModelSets modelSets_;
    PictureQueue pictures_;  // last member: its thread stops before the rest goes
};

// One log line on standard error, prefixed with the program's name.
void logLine(const std::string& text);

}  // namespace renderer
