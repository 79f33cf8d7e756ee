// The renderer stand-in as the add-in meets it: real processes, the live
// library loaded with dlopen, scenes sent over the link and read back from
// the .bip files the renderer writes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>

#include "support/EveryCallScene.h"
#include "ModelSets.h"
#include "importers/bip/BipReader.h"
#include "livelib/FrameCodec.h"
#include "livelib/InstanceRecords.h"
#include "livelib/SampleScene.h"
#include "support/MemoryWriter.h"
#include "support/RendererInstallation.h"

namespace fs = std::filesystem;
using support::RendererProcess;

namespace {

std::string writeDirectly(const std::function<void(orvScene_api&)>& calls) {
    return support::writerText([&](orvScene_api& writer) {
        renderer::writeSceneHeader(writer);
        writer.setFlags(1);
        calls(writer);
    });
}

// The calls that send this sample scene.
std::function<void(orvScene_api&)> sampleScene(livelink::SampleSceneOptions options) {
    return [options](orvScene_api& api) { livelink::writeSampleScene(api, options); };
}

int connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = support::loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    timeval timeout{20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    return fd;
}

std::vector<uint8_t> hello(uint16_t version = livelink::kProtocolVersion) {
    std::vector<uint8_t> h(livelink::kHelloBytes, 0);
    livelink::putU32(h.data(), livelink::kMagic);
    livelink::putU16(h.data() + 4, version);
    livelink::putU16(h.data() + 6, static_cast<uint16_t>(livelink::Channel::Scene));
    return h;
}

std::vector<uint8_t> helloThen(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> h = hello();
    h.insert(h.end(), bytes.begin(), bytes.end());
    return h;
}

// Sends bytes and reads until the renderer closes the connection; true when it
// did.
bool renderersCloses(int fd, const std::vector<uint8_t>& bytes) {
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    char sink[256];
    for (;;) {
        const ssize_t n = ::recv(fd, sink, sizeof sink, 0);
        if (n == 0) return true;
        if (n < 0) return errno == ECONNRESET;
    }
}

class Renderer : public ::testing::Test {
  protected:
    void SetUp() override {
        resources_ = installation_.root() / "resources";
        log_ = installation_.root() / "renderer.log";
        firstPort_ = support::freePortRange(4);
        library_ = std::make_unique<support::LiveLibrary>(QUORELL_LIVE_LIBRARY_PATH);
    }
    void TearDown() override { library_.reset(); }

    std::vector<std::string> arguments() const {
        return {"--ports",     std::to_string(firstPort_) + "-" + std::to_string(firstPort_ + 3),
                "--resources", resources_.string(),
                "--idle-exit", "120"};
    }
    void start(RendererProcess& process) {
        process.start(QUORELL_STANDIN_PATH, arguments(), log_);
        ASSERT_TRUE(process.waitUntilPublished()) << support::readFile(log_);
    }
    int portOf(const RendererProcess& process) {
        livelink::InstanceRecord record;
        livelink::readInstanceRecord(livelink::instanceRecordPath(process.pid()), &record);
        return record.livelinkPort;
    }
    // Sends through the live library as the add-in does; the description
    // query afterwards returns only once the renderer has written its file.
    bool send(const RendererProcess& process, const std::function<void(orvScene_api&)>& calls) {
        orvScene_api& api = library_->scene();
        api.id(1);
        if (!api.connect("localhost", portOf(process), 4)) return false;
        calls(api);
        const bool taken = api.disconnect();
        library_->describe(process.pid());
        return taken;
    }
    std::string sceneFile(const std::string& name) {
        return support::readFile(resources_ / "scenes" / (name + ".bip"));
    }

    support::RendererInstallation installation_;
    fs::path resources_, log_;
    int firstPort_ = 0;
    std::unique_ptr<support::LiveLibrary> library_;
};

TEST_F(Renderer, SceneWrittenBackEqualsTheFileWriterByteForByte) {
    RendererProcess process;
    start(process);
    ASSERT_TRUE(send(process, testscene::writeEveryCall));
    EXPECT_EQ(sceneFile("Every Call"), writeDirectly([](orvScene_api&) {}) + testscene::everyCallText(1));

    livelink::SampleSceneOptions sample;
    sample.name = "Bracket v3";
    sample.components = 5;
    sample.trianglesPerComponent = 6000;  // arrays above 64 KiB travel from the caller's memory
    ASSERT_TRUE(send(process, sampleScene(sample)));
    EXPECT_EQ(sceneFile("Bracket v3"), writeDirectly(sampleScene(sample)));

    // What the renderer dumped reads back through the .bip reader to the same
    // bytes (the other scene holds raw text written with writeText, which no
    // reader can tell from a statement).
    const std::string dumped = sceneFile("Bracket v3");
    support::MemoryWriter writer;
    orv::bip::readSceneText(dumped, "Bracket v3.bip", writer.api());
    EXPECT_EQ(writer.finish(), dumped);
}

// A renderer killed or stopped mid-transfer: the sender fails (a stopped one
// after the send's time limit) instead of waiting forever, and the next
// transfer, to a new renderer or the same one continued, works.
TEST_F(Renderer, RendererKilledOrStoppedMidTransferFailsTheSendAndTheNextTransferWorks) {
    for (int signal : {SIGKILL, SIGSTOP}) {
        RendererProcess process;
        start(process);
        orvScene_api& api = library_->scene();
        api.id(1);
        ASSERT_TRUE(api.connect("127.0.0.1", portOf(process), 4));
        ASSERT_TRUE(api.beginGroup("Doomed", true));
        ::kill(process.pid(), signal);

        std::vector<float> block(1 << 18, 0.5f);
        const ArrayRef array{block.data(), int32_t(block.size())};
        bool failed = false;
        for (int i = 0; i < 400 && !failed; ++i)
            failed = !api.attribute("data", vtFloatArray, &array);
        EXPECT_TRUE(failed) << signal;
        EXPECT_FALSE(api.beginGroup("more", true));
        EXPECT_FALSE(api.disconnect());

        RendererProcess next;
        if (signal == SIGSTOP) {
            ::kill(process.pid(), SIGCONT);
        } else {
            start(next);
        }
        const RendererProcess& target = signal == SIGSTOP ? process : next;
        EXPECT_TRUE(send(target, testscene::writeEveryCall)) << signal;
        EXPECT_EQ(library_->describe(target.pid()).find("Doomed"), std::string::npos);
    }
}

TEST_F(Renderer, BadInputEndsOnlyThatConnection) {
    RendererProcess process;
    start(process);
    const int port = portOf(process);

    const auto attribute = static_cast<uint8_t>(livelink::Op::Attribute);
    std::vector<uint8_t> badKind;  // a group, then an attribute whose count has no data
    livelink::FrameWriter w(badKind);
    w.begin(livelink::Op::BeginGroup);
    w.string("Injected");
    w.u8(1);
    w.end();
    w.begin(livelink::Op::Attribute);
    w.string("v");
    w.i32(vtFloat3Array);
    w.i32(1000000);
    w.end();
    const std::vector<std::vector<uint8_t>> attacks{
        std::vector<uint8_t>(64, 0x5a),                                // no hello at all
        hello(99),                                                     // unknown protocol version
        helloThen({0xff, 0xff, 0xff, 0xff, 1}),                        // more than a frame may hold
        helloThen({0, 0, 0, 0, 1}),                                    // less than its operation
        helloThen({1, 0, 0, 0, 200}),                                  // an operation nobody knows
        helloThen({8, 0, 0, 0, attribute, 50, 0, 0, 0, 'a', 'b', 0}),  // name past the payload
        helloThen(badKind),
    };
    for (size_t i = 0; i < attacks.size(); ++i) {
        const int fd = connectTo(port);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(renderersCloses(fd, attacks[i])) << "attack " << i;
        ::close(fd);
    }
    {
        // Truncated: half a frame, then the sender goes away.
        const int fd = connectTo(port);
        const auto a =
            helloThen({40, 0, 0, 0, static_cast<uint8_t>(livelink::Op::BeginGroup), 3, 0});
        ::send(fd, a.data(), a.size(), MSG_NOSIGNAL);
        ::close(fd);
    }

    // Still serving, and none of the broken transfers became a model set.
    ASSERT_TRUE(send(process, testscene::writeEveryCall));
    const std::string description = library_->describe(process.pid());
    EXPECT_NE(description.find("Every Call"), std::string::npos);
    EXPECT_EQ(description.find("Injected"), std::string::npos);
    EXPECT_TRUE(process.running());

    const std::string log = support::readFile(log_);
    size_t lines = 0;
    for (size_t at = 0; (at = log.find("connection closed", at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(lines, attacks.size() + 1) << log;

    // A program holding many connections without a word makes room for the
    // one that says hello.
    std::vector<int> silent;
    for (int i = 0; i < 100; ++i) silent.push_back(connectTo(port));
    EXPECT_TRUE(send(process, testscene::writeEveryCall));
    for (const int fd : silent) ::close(fd);
    EXPECT_NE(support::readFile(log_).find("no hello while all 64 connections were in use"),
              std::string::npos);
}

TEST_F(Renderer, IdleInstanceExitsAndWithdrawsItsRecord) {
    RendererProcess process;
    process.start(QUORELL_STANDIN_PATH,
                  {"--ports", std::to_string(firstPort_) + "-" + std::to_string(firstPort_),
                   "--idle-exit", "1"},
                  log_);
    ASSERT_TRUE(process.waitUntilPublished());
    const pid_t pid = process.pid();
    EXPECT_EQ(process.waitForExit(), 0);
    EXPECT_FALSE(fs::exists(livelink::instanceRecordPath(pid)));
}

}  // namespace
