#include "RendererServer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "ScenePicture.h"
#include "livelib/FrameCodec.h"
#include "platform/Platform.h"

namespace renderer {

using livelink::Op;
using livelink::kNoSocket;
using livelink::Socket;

namespace {

volatile sig_atomic_t stopRequested = 0;

#ifdef _WIN32
// Ctrl+C, Ctrl+Break, closing the console: stop as on SIGINT.
BOOL WINAPI onConsoleEvent(DWORD) {
    stopRequested = 1;
    return TRUE;
}
#else
void onStopSignal(int) {
    stopRequested = 1;
}
#endif

constexpr size_t kReadChunk = 256u << 10;
// Payload bytes past this are received straight into the frame's buffer.
constexpr size_t kDirectReceive = 64u << 10;
constexpr size_t kFirstPayloadBytes = 16u << 20;
constexpr uint32_t kMaxQueryFrameBytes = 64u << 10;
constexpr int kSendTimeoutMs = 5000;
// Connections served at once. Each holds a receive buffer, so a program that
// opens connections in a loop must not be able to take all memory or every
// descriptor (past the descriptor limit the listener would wake the loop
// without end).
constexpr size_t kMaxConnections = 64;
// How long the listener rests when a waiting connection cannot be accepted.
constexpr auto kAcceptRest = std::chrono::milliseconds(100);

bool sendBlocking(Socket fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const long n = livelink::sendSome(fd, data, size, nullptr);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n == livelink::kWouldBlock) {
            std::vector<livelink::SocketWait> wait{{fd, true, false}};
            if (livelink::waitForSockets(wait, kSendTimeoutMs, nullptr) <= 0) return false;
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace

void logLine(const std::string& text) {
    std::fprintf(stderr, "quorell-standin: %s\n", text.c_str());
}

struct RendererServer::Connection {
    enum class State { Hello, Scene, Query };

    Socket fd = kNoSocket;
    uint64_t number = 0;
    State state = State::Hello;
    // Received, not yet parsed: in[inStart, inEnd). Sized once, so that
    // reading does not clear memory it is about to fill.
    std::vector<uint8_t> in = std::vector<uint8_t>(2 * kReadChunk);
    size_t inStart = 0;
    size_t inEnd = 0;
    bool inFrame = false;  // header read, payload being collected
    uint8_t op = 0;
    std::vector<uint8_t> payload;  // grows towards payloadLength as bytes arrive
    size_t payloadLength = 0;      // from the frame header, within the limit
    size_t payloadFilled = 0;

    // Doubles the payload buffer once it is full and more is announced.
    void makeRoom() {
        if (payloadFilled == payload.size() && payload.size() < payloadLength)
            payload.resize(std::min(payloadLength, std::max<size_t>(2 * payload.size(), kReadChunk)));
    }
    std::unique_ptr<SceneRecorder> recorder;
    uint64_t received = 0;
};

RendererServer::RendererServer(ServerOptions options) : options_(std::move(options)) {}

RendererServer::~RendererServer() {
    for (auto& c : connections_) livelink::closeSocketHandle(c->fd);
    livelink::closeSocketHandle(listenFd_);
}

void RendererServer::requestStop() {
    stopRequested = 1;
}

bool RendererServer::listen(std::string* error) {
    const std::string range =
        std::to_string(options_.minPort) + "-" + std::to_string(options_.maxPort);
    if (options_.minPort < 1 || options_.maxPort > 65535 || options_.minPort > options_.maxPort) {
        if (error) *error = "invalid port range " + range;
        return false;
    }
    for (int p = options_.minPort; p <= options_.maxPort; ++p) {
        const Socket fd = livelink::openTcpSocket(error);
        if (fd == kNoSocket) return false;
        if (livelink::listenOnLoopback(fd, p, 64)) {
            listenFd_ = fd;
            port_ = p;
            return true;
        }
        livelink::closeSocketHandle(fd);
    }
    if (error) *error = "no free port in the range " + range + " on 127.0.0.1";
    return false;
}

bool RendererServer::accept() {
    bool accepted = false;
    for (;;) {
        const Socket fd = livelink::acceptConnection(listenFd_);
        if (fd == kNoSocket) return accepted;  // none waits, or a failure: see run()
        accepted = true;
        const uint64_t number = ++connectionCounter_;
        if (connections_.size() >= kMaxConnections && !dropOneSilentConnection()) {
            logLine("connection " + std::to_string(number) + ": all " +
                    std::to_string(kMaxConnections) + " connections are in use; connection closed");
            livelink::closeSocketHandle(fd);
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        c->number = number;
        connections_.push_back(std::move(c));
    }
}

bool RendererServer::dropOneSilentConnection() {
    // The oldest first: a client says hello as soon as it connects, so a
    // connection still without one is the likeliest to be left over.
    const auto silent = std::find_if(connections_.begin(), connections_.end(), [](const auto& c) {
        return c->state == Connection::State::Hello;
    });
    if (silent == connections_.end()) return false;
    drop(**silent, "no hello while all " + std::to_string(kMaxConnections) +
                       " connections were in use");
    livelink::closeSocketHandle((*silent)->fd);
    connections_.erase(silent);
    return true;
}

void RendererServer::drop(Connection& c, const std::string& why) {
    logLine("connection " + std::to_string(c.number) + ": " + why + "; connection closed");
}

bool RendererServer::onHello(Connection& c, const uint8_t* hello) {
    using namespace livelink;
    if (getU32(hello) != kMagic) {
        drop(c, "not a live link client (bad hello)");
        return false;
    }
    const uint16_t version = getU16(hello + 4);
    const uint16_t channel = getU16(hello + 6);
    HelloStatus status = HelloStatus::Accepted;
    if (version != kProtocolVersion)
        status = HelloStatus::UnsupportedVersion;
    else if (channel != uint16_t(Channel::Scene) && channel != uint16_t(Channel::Query))
        status = HelloStatus::UnknownChannel;
    uint8_t reply[kHelloReplyBytes];
    putU32(reply, kMagic);
    putU16(reply + 4, kProtocolVersion);
    putU16(reply + 6, static_cast<uint16_t>(status));
    putU32(reply + 8, platform::currentProcessId());
    sendBlocking(c.fd, reply, sizeof reply);
    if (status != HelloStatus::Accepted) {
        drop(c, status == HelloStatus::UnsupportedVersion
                    ? "unsupported protocol version " + std::to_string(version)
                    : "unknown channel " + std::to_string(channel));
        return false;
    }
    if (channel == uint16_t(Channel::Scene)) {
        c.state = Connection::State::Scene;
        c.recorder = std::make_unique<SceneRecorder>(modelSets_.nextSession());
    } else {
        c.state = Connection::State::Query;
    }
    return true;
}

void RendererServer::finishScene(Connection& c) {
    SceneRecording scene = c.recorder->take();
    c.recorder.reset();
    const std::string name = modelSets_.store(std::move(scene));

    // Acknowledge first: the sender waits only until the scene is held.
    std::vector<uint8_t> ack;
    livelink::FrameWriter frame(ack);
    frame.begin(Op::Ack);
    frame.u8(0);
    frame.u64(c.received);
    frame.end();
    sendBlocking(c.fd, ack.data(), ack.size());

    if (name.empty()) {
        logLine("connection " + std::to_string(c.number) +
                ": scene without a root group was not kept");
        return;
    }
    if (options_.resourceFolder.empty()) return;
    const std::string path = options_.resourceFolder + "/scenes/" + sceneFileName(name);
    std::string error;
    if (!writeSceneFile(*modelSets_.find(name), path, &error)) {
        logLine(error);
        return;
    }
    if (options_.pictures && picturesBuiltIn()) pictures_.add(path);
}

bool RendererServer::onFrame(Connection& c, uint8_t op, std::vector<uint8_t> payload) {
    if (c.state == Connection::State::Scene) {
        if (op == static_cast<uint8_t>(Op::Finish)) {
            finishScene(c);
            return false;
        }
        if (!livelink::isSceneOp(op)) {
            drop(c, "unknown operation " + std::to_string(op));
            return false;
        }
        std::string error;
        if (!c.recorder->add(op, std::move(payload), &error)) {
            drop(c, "frame refused (" + error + ")");
            return false;
        }
        return true;
    }
    if (op != static_cast<uint8_t>(Op::Describe) || !payload.empty()) {
        drop(c, std::string("unexpected request ") + livelink::opName(op));
        return false;
    }
    std::vector<uint8_t> reply;
    livelink::FrameWriter frame(reply);
    frame.begin(Op::Description);
    const std::string xml = modelSets_.descriptionXml();
    frame.raw(xml.data(), xml.size());
    frame.end();
    if (!sendBlocking(c.fd, reply.data(), reply.size())) {
        drop(c, "cannot send the scene description");
        return false;
    }
    return true;
}

bool RendererServer::processInput(Connection& c) {
    for (;;) {
        const size_t available = c.inEnd - c.inStart;
        const uint8_t* data = c.in.data() + c.inStart;
        if (c.state == Connection::State::Hello) {
            if (available < livelink::kHelloBytes) return true;
            if (!onHello(c, data)) return false;
            c.inStart += livelink::kHelloBytes;
            continue;
        }
        if (c.inFrame) {
            c.makeRoom();
            const size_t take = std::min(available, c.payload.size() - c.payloadFilled);
            if (take) std::memcpy(c.payload.data() + c.payloadFilled, data, take);
            c.payloadFilled += take;
            c.inStart += take;
            if (c.payloadFilled < c.payloadLength) {
                if (c.inStart < c.inEnd) continue;
                return true;
            }
            c.inFrame = false;
            if (!onFrame(c, c.op, std::move(c.payload))) return false;
            c.payload = {};
            continue;
        }
        if (available < livelink::kFrameHeaderBytes) return true;
        const uint32_t length = livelink::getU32(data);
        const uint32_t limit =
            c.state == Connection::State::Query ? kMaxQueryFrameBytes : livelink::kMaxFrameBytes;
        if (length == 0 || length > limit) {
            drop(c, "frame length " + std::to_string(length) + " out of bounds");
            return false;
        }
        c.op = data[4];
        c.inStart += livelink::kFrameHeaderBytes;
        c.inFrame = true;
        // A header alone does not take the memory it announces: the payload
        // starts at most kFirstPayloadBytes long and grows with what arrives.
        c.payloadLength = length - 1;
        c.payload.assign(std::min(c.payloadLength, kFirstPayloadBytes), 0);
        c.payloadFilled = 0;
    }
}

bool RendererServer::onReadable(Connection& c) {
    for (int round = 0; round < 64; ++round) {
        long n;
        std::string error;
        if (c.inFrame) c.makeRoom();
        if (c.inFrame && c.inStart == c.inEnd &&
            c.payload.size() - c.payloadFilled >= kDirectReceive) {
            n = livelink::receiveSome(c.fd, c.payload.data() + c.payloadFilled,
                                      c.payload.size() - c.payloadFilled, &error);
            if (n > 0) c.payloadFilled += static_cast<size_t>(n);
        } else {
            // What is left unparsed is shorter than a frame header or hello.
            if (c.inStart == c.inEnd) {
                c.inStart = c.inEnd = 0;
            } else if (c.in.size() - c.inEnd < kReadChunk) {
                std::memmove(c.in.data(), c.in.data() + c.inStart, c.inEnd - c.inStart);
                c.inEnd -= c.inStart;
                c.inStart = 0;
            }
            n = livelink::receiveSome(c.fd, c.in.data() + c.inEnd, c.in.size() - c.inEnd, &error);
            if (n > 0) c.inEnd += static_cast<size_t>(n);
        }
        if (n == livelink::kWouldBlock) return true;
        if (n < 0) {
            drop(c, "receive failed: " + error);
            return false;
        }
        if (n == 0) {
            if (c.state == Connection::State::Scene)
                drop(c, "the sender left before the scene was complete");
            else if (c.inFrame || c.inStart != c.inEnd)
                drop(c, "the peer left in the middle of a frame");
            return false;
        }
        c.received += static_cast<uint64_t>(n);
        if (!processInput(c)) return false;
    }
    return true;
}

int RendererServer::run() {
    stopRequested = 0;
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    sigset_t stopSignals, previousMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    // Blocked outside the wait for sockets, so a signal can only arrive while waiting.
    sigprocmask(SIG_BLOCK, &stopSignals, &previousMask);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
#endif

    using Clock = std::chrono::steady_clock;
    auto idleSince = Clock::now();
    auto listenerRestsUntil = Clock::now();
    std::vector<livelink::SocketWait> fds;
    while (!stopRequested) {
        if (!connections_.empty()) idleSince = Clock::now();
        int timeoutMs = 1000;
        if (options_.idleExitSeconds > 0 && connections_.empty()) {
            const auto idle = Clock::now() - idleSince;
            const auto limit = std::chrono::seconds(options_.idleExitSeconds);
            if (idle >= limit) {
                logLine("no connection for " + std::to_string(options_.idleExitSeconds) +
                        " s; exiting");
                break;
            }
            timeoutMs = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(limit - idle).count());
        }
        // The listener is waited for first, unless it rests.
        const size_t first = Clock::now() >= listenerRestsUntil ? 1 : 0;
        if (first == 0) timeoutMs = std::min(timeoutMs, static_cast<int>(kAcceptRest.count()));
        fds.clear();
        if (first == 1) fds.push_back({listenFd_, false, false});
        for (auto& c : connections_) fds.push_back({c->fd, false, false});
        std::string error;
        if (livelink::waitForSockets(fds, timeoutMs, &error, true) < 0) {
            logLine("waiting for connections failed: " + error);
            break;
        }
        // Served in the order polled; new connections join the next round.
        std::vector<Connection*> closing;
        for (size_t i = first; i < fds.size(); ++i) {
            if (!fds[i].ready) continue;
            Connection& c = *connections_[i - first];
            if (!onReadable(c)) closing.push_back(&c);
        }
        if (!closing.empty()) {
            std::erase_if(connections_, [&](const std::unique_ptr<Connection>& c) {
                if (std::find(closing.begin(), closing.end(), c.get()) == closing.end())
                    return false;
                livelink::closeSocketHandle(c->fd);
                return true;
            });
            idleSince = Clock::now();
        }
        // A listener that reports a connection none can take (out of
        // descriptors) rests, instead of waking this loop at once again.
        if (first == 1 && fds[0].ready && !accept()) listenerRestsUntil = Clock::now() + kAcceptRest;
    }
#ifndef _WIN32
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
#endif
    return 0;
}

}  // namespace renderer
