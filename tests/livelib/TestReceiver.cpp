#include "TestReceiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
#include "livelib/FrameCodec.h"
#include "livelib/LoopbackSocket.h"
#include "livelib/SceneFrames.h"
#include "support/MemoryWriter.h"

namespace testing_live {

TestReceiver::TestReceiver(Mode mode) : mode_(mode) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listenFd_, 1);
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

TestReceiver::~TestReceiver() {
    ::shutdown(listenFd_, SHUT_RDWR);  // frees a thread still waiting in accept
    wait();
    ::close(listenFd_);
}

void TestReceiver::wait() {
    if (thread_.joinable()) thread_.join();
}

void TestReceiver::serve() {
    int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;
    uint8_t hello[livelink::kHelloBytes];
    std::string error;
    if (!livelink::receiveAll(fd, hello, sizeof hello, 10000, &error)) {
        ::close(fd);
        return;
    }
    liveId = livelink::getU32(hello + 8);
    n = static_cast<int32_t>(livelink::getU32(hello + 12));
    uint8_t reply[livelink::kHelloReplyBytes];
    livelink::putU32(reply, livelink::kMagic);
    livelink::putU16(reply + 4, livelink::kProtocolVersion);
    livelink::putU16(reply + 6, 0);
    livelink::putU32(reply + 8, static_cast<uint32_t>(::getpid()));
    livelink::sendAll(fd, reply, sizeof reply, &error);
    if (mode_ == Mode::CloseAfterHello) {
        ::close(fd);
        return;
    }

    text = support::writerText([&](orvScene_api& writer) {
        livelink::ChunkMap chunks;
        uint8_t op = 0;
        std::vector<uint8_t> payload;
        while (livelink::receiveFrame(fd, 10000, livelink::kMaxFrameBytes, &op, &payload, &error)) {
            if (op == static_cast<uint8_t>(livelink::Op::Finish)) {
                std::vector<uint8_t> ack;
                livelink::FrameWriter frame(ack);
                frame.begin(livelink::Op::Ack);
                frame.u8(0);
                frame.u64(0);
                frame.end();
                livelink::sendAll(fd, ack.data(), ack.size(), &error);
                finished = true;
                break;
            }
            if (!livelink::replayFrame(op, payload.data(), payload.size(), 1, writer, chunks,
                                       &error)) {
                std::fprintf(stderr, "test receiver: %s\n", error.c_str());
                break;
            }
        }
    });
    ::close(fd);
}

}  // namespace testing_live
