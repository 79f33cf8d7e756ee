#include "LiveQueryApi.h"

#include "FrameCodec.h"
#include "InstanceRecords.h"
#include "LoopbackSocket.h"

namespace livelink {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kReplyTimeoutMs = 5000;
// A scene description lists model sets; a few MiB is far more than enough.
constexpr size_t kMaxDescriptionBytes = 16u << 20;
}  // namespace

LiveQueryApi::~LiveQueryApi() {
    closeSocket(fd_);
}

const char* LiveQueryApi::listInstances() {
    instances_ = instanceListXml(runningInstances());
    return instances_.c_str();
}

bool LiveQueryApi::attachInstance(int64_t processId) {
    detachInstance();
    lastError_.clear();
    InstanceRecord record;
    if (!readInstanceRecord(instanceRecordPath(processId), &record) || !publisherRunning(record)) {
        lastError_ = "no running instance with process id " + std::to_string(processId);
        return false;
    }
    std::string error;
    Socket fd = connectLoopback(record.livelinkPort, kConnectTimeoutMs, &error);
    if (fd < 0) {
        lastError_ = error;
        return false;
    }
    uint32_t peer = 0;
    if (!clientHandshake(fd, Channel::Query, 0, 0, kReplyTimeoutMs, &peer, &error) ||
        static_cast<int64_t>(peer) != processId) {
        lastError_ = error.empty() ? "another process answers on that instance's port" : error;
        closeSocket(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void LiveQueryApi::detachInstance() {
    closeSocket(fd_);
}

const char* LiveQueryApi::sceneDescription() {
    if (fd_ < 0) return nullptr;
    std::vector<uint8_t> request;
    FrameWriter frame(request);
    frame.begin(Op::Describe);
    frame.end();
    std::string error;
    uint8_t op = 0;
    std::vector<uint8_t> payload;
    if (!sendAll(fd_, request.data(), request.size(), &error) ||
        !receiveFrame(fd_, kReplyTimeoutMs, kMaxDescriptionBytes, &op, &payload, &error) ||
        op != static_cast<uint8_t>(Op::Description)) {
        lastError_ = error.empty() ? "unexpected answer to a description request" : error;
        closeSocket(fd_);
        return nullptr;
    }
    description_.assign(payload.begin(), payload.end());
    return description_.c_str();
}

}  // namespace livelink
