#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "livelink/FakeLiveLibrary.h"
#include "livelink/RepeatLinkFactory.h"
#include "support/Files.h"

namespace {

using Attempt = fake::RecordingLiveApi::Attempt;

// One <instance> entry of the list text.
std::string entry(int major, int64_t pid, int port, int minor = 0) {
    return "<instance><version_major>" + std::to_string(major) + "</version_major><version_minor>" +
           std::to_string(minor) + "</version_minor><process_id>" + std::to_string(pid) +
           "</process_id><livelink_port>" + std::to_string(port) + "</livelink_port></instance>";
}

std::string instanceList(const std::vector<std::string>& entries) {
    std::string text = "<instances>";
    for (const auto& e : entries) text += e;
    return text + "</instances>";
}

// A scene whose model sets hold something (so the scene does not count as empty).
std::string sceneWith(const std::string& modelSet) {
    return "<quorell><scene><modelsets><set name=\"" + modelSet +
           "\" modelset=\"active\"><part/></set></modelsets></scene></quorell>";
}
const std::string kEmptyScene = "<quorell><scene><camera/><light/></scene></quorell>";

// Exposes the internal steps the render flow never calls directly.
class TestFactory : public orv::RepeatLinkFactory {
  public:
    using RepeatLinkFactory::listRendererInstances;
    using RepeatLinkFactory::RepeatLinkFactory;
    using RepeatLinkFactory::selectInstance;
};

class RepeatLinkFactoryTest : public ::testing::Test {
  protected:
    fake::ScriptedQuery query;
    fake::RecordingLiveApi live;
    bool haveScene = true;
    std::wstring exe = L"C:\\Program Files\\Vantor\\Quorell 13\\bin\\quorell.exe";
    bool startSucceeds = true;
    std::vector<std::wstring> started;
    std::vector<int32_t> pauses;
    int unloads = 0;
    int32_t rangeStatus = 0;
    int32_t rangeMin = 4000;
    int32_t rangeMax = 4003;
    std::vector<std::pair<int32_t, int32_t>> rangeRequests;
    std::function<bool()> launchedRunning;  // unset: nothing tells whether it still runs

    orv::LiveLinkServices services() {
        orv::LiveLinkServices s;
        s.queryApi = [this](int32_t, int32_t) -> QueryApi* { return &query; };
        s.sceneApi = [this](int32_t, int32_t) -> orvScene_api* {
            return haveScene ? &live : nullptr;
        };
        s.unloadLibrary = [this] { ++unloads; };
        s.binName = [this](int32_t, int32_t) { return exe; };
        s.startProcess = [this](const std::wstring& path) {
            started.push_back(path);
            // The renderer appears in the list only once it has been started.
            return startSucceeds;
        };
        s.portRange = [this](int32_t lo, int32_t hi, int32_t& minPort, int32_t& maxPort) {
            rangeRequests.emplace_back(lo, hi);
            if (rangeStatus >= -1) minPort = rangeMin;
            if (rangeStatus == 0) maxPort = rangeMax;
            return rangeStatus;
        };
        s.sleep = [this](int32_t ms) { pauses.push_back(ms); };
        s.launchedRunning = launchedRunning;
        return s;
    }

    // A factory set up as the render command sets it up.
    std::unique_ptr<TestFactory> renderFactory(const std::string& sceneName = "Desk Lamp") {
        auto f = std::make_unique<TestFactory>(services());
        f->setVersionRange(12, 13);
        f->setSceneName(sceneName);
        f->setAcceptAnyInstance(true);
        return f;
    }

    // The only renderer: version 13, process 100, on the given port.
    void oneInstance(int port, const std::string& scene) {
        query.lists = {instanceList({entry(13, 100, port)})};
        query.scenes = {{100, scene}};
    }

};

// ------------------------------------------------------------ instance choice

TEST_F(RepeatLinkFactoryTest, InUseThenHigherVersionThenEarlierInstanceWins) {
    const std::map<std::string, std::string> scenes = {
        {"lamp", sceneWith("Desk Lamp")}, {"other", sceneWith("Other Part")}, {"empty", kEmptyScene}};
    for (const auto& row : support::readTable("livelink/instance-choice.tsv")) {
        ASSERT_EQ(row.size(), 7u);
        query.lists = {instanceList({entry(std::stoi(row[0]), 100, 5001, 1),
                                     entry(std::stoi(row[1]), 200, 5002, 9)})};
        query.scenes = {{100, scenes.at(row[2])}, {200, scenes.at(row[3])}};
        auto f = renderFactory();
        f->setAcceptAnyInstance(row[4] == "yes");
        const orv::RendererInstance chosen = f->selectInstance(query);
        EXPECT_EQ(chosen.processId, std::stoll(row[5])) << row[0] << " " << row[2] << " " << row[3];
        if (chosen.processId == 0) {
            EXPECT_EQ(chosen.versionMajor, 0);
        }
        EXPECT_EQ(f->isUpdatingExisting(), row[6] == "yes");
    }
}

TEST_F(RepeatLinkFactoryTest, RunningRendererIsNotStartedAndTheUpdateFlagFollowsTheLatestChoice) {
    query.lists = {instanceList({entry(13, 100, 5001), entry(12, 200, 5002)})};
    query.scenes = {{100, kEmptyScene}, {200, sceneWith("Desk Lamp")}};
    live.acceptedPorts = {5002};
    auto f = renderFactory();
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_TRUE(f->isUpdatingExisting());
    EXPECT_EQ(live.attempts, (std::vector<Attempt>{{"localhost", 5002, 4}}));
    EXPECT_TRUE(started.empty()) << "a running renderer is not started again";
    EXPECT_TRUE(pauses.empty());
    query.scenes = {{100, kEmptyScene}, {200, kEmptyScene}};
    EXPECT_EQ(f->selectInstance(query).processId, 100);
    EXPECT_FALSE(f->isUpdatingExisting());
}

TEST_F(RepeatLinkFactoryTest, ModelSetsNamedLikeTheSceneAndEmptyScenesQualify) {
    for (const auto& row : support::readTable("livelink/scenes.tsv")) {
        ASSERT_EQ(row.size(), 4u);
        auto f = renderFactory(row[1]);
        f->setVersionRange(5, 20);
        f->setAcceptAnyInstance(false);
        query.lists = {instanceList({entry(std::stoi(row[0]), 100, 5001)})};
        query.scenes = {{100, row[3]}};
        EXPECT_EQ(f->selectInstance(query).versionMajor != 0, row[2] == "yes") << row[3];
        EXPECT_EQ(f->isUpdatingExisting(), row[2] == "yes" && !row[1].empty()) << row[3];
    }
}

TEST_F(RepeatLinkFactoryTest, AttachFailuresNegativePortsAndMissingDescriptions) {
    query.lists = {instanceList(
        {entry(13, 100, -1), entry(13, 200, 5002), entry(13, 300, 5003), entry(12, 400, 5004)})};
    // 100 has a negative port, 200 cannot be attached, 300 gives no description.
    query.scenes = {{100, kEmptyScene}, {300, std::nullopt}, {400, sceneWith("Other")}};
    auto f = renderFactory();
    EXPECT_EQ(f->selectInstance(query).processId, 400);
    EXPECT_EQ(query.attached, (std::vector<int64_t>{300, 400}));
    EXPECT_EQ(query.detachCalls, 2) << "one detach after every successful attach";
}

// -------------------------------------------------------------- instance list

TEST_F(RepeatLinkFactoryTest, InstanceListsAsTheirTableSays) {
    auto f = renderFactory();
    for (const auto& row : support::readTable("livelink/instance-lists.tsv")) {
        query.lists = {row[0] == "(null)" ? std::nullopt : std::optional<std::string>(row[0])};
        std::string found;
        for (const orv::RendererInstance& i : f->listRendererInstances(query))
            found += (found.empty() ? "" : ",") + std::to_string(i.versionMajor) + "." +
                     std::to_string(i.versionMinor) + ":" + std::to_string(i.processId) + ":" +
                     std::to_string(i.livelinkPort);
        EXPECT_EQ(found, row.size() > 1 ? row[1] : "") << row[0];
    }
}

// ------------------------------------------------------- launching and waiting

TEST_F(RepeatLinkFactoryTest, StartedRendererFoundOnTheThirdQueryIsAwaited) {
    const std::string none = instanceList({});
    query.lists = {none, none, none, instanceList({entry(13, 100, 5007)})};
    query.scenes = {{100, kEmptyScene}};
    live.acceptedPorts = {5007};
    auto f = renderFactory();
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_EQ(started, (std::vector<std::wstring>{exe}));
    EXPECT_EQ(query.listCalls, 1 + 3) << "one query before the launch, three after";
    EXPECT_EQ(pauses, (std::vector<int32_t>{1000, 1000, 1000}));
    EXPECT_EQ(live.ids, (std::vector<uint32_t>{1}));
    EXPECT_EQ(live.attempts, (std::vector<Attempt>{{"localhost", 5007, 4}}));
    EXPECT_FALSE(f->isUpdatingExisting());
    EXPECT_EQ(f->errorText(), "");
}

TEST_F(RepeatLinkFactoryTest, RendererThatNeverAppearsExhaustsTheRetriesThenTriesTheRange) {
    query.lists = {instanceList({})};
    live.acceptedPorts = {4002};
    auto f = renderFactory();
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_EQ(query.listCalls, 1 + 29);
    EXPECT_EQ(pauses.size(), 29u);
    EXPECT_EQ(rangeRequests, (std::vector<std::pair<int32_t, int32_t>>{{5, 20}}));
    EXPECT_EQ(live.attempts,
              (std::vector<Attempt>{
                  {"127.0.0.1", 4000, 1}, {"127.0.0.1", 4001, 1}, {"127.0.0.1", 4002, 1}}));
}

TEST_F(RepeatLinkFactoryTest, StartedRendererThatEndsIsQueriedOnceMoreThenTheRangeIsTried) {
    query.lists = {instanceList({})};
    live.acceptedPorts = {4000};
    launchedRunning = [this] { return query.listCalls < 3; };
    auto f = renderFactory();
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_EQ(query.listCalls, 1 + 3) << "two queries while it ran, one after it ended";
    EXPECT_EQ(pauses.size(), 3u);
    EXPECT_EQ(live.attempts, (std::vector<Attempt>{{"127.0.0.1", 4000, 1}}));
}

TEST_F(RepeatLinkFactoryTest, LaunchFailureMessageStaysUntilTheNextCallWhenTheRangeConnects) {
    query.lists = {instanceList({})};
    startSucceeds = false;
    live.acceptedPorts = {4000};
    auto f = renderFactory();
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_TRUE(pauses.empty()) << "no waiting without a started renderer";
    EXPECT_EQ(f->errorText(), "Unabled to launch Quorell. Please check your Quorell installation.");
    ASSERT_EQ(f->getSceneApi(), &live);
    EXPECT_EQ(f->errorText(), "");
    EXPECT_EQ(query.listCalls, 1) << "a connected factory does not choose again";

    // Without an executable nothing is started either.
    exe.clear();
    startSucceeds = true;
    auto g = renderFactory();
    ASSERT_EQ(g->getSceneApi(), &live);
    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(g->errorText(), "Unabled to launch Quorell. Please check your Quorell installation.");
}

// ------------------------------------------------------------------ port choice

TEST_F(RepeatLinkFactoryTest, PortFailuresGiveThePortMessage) {
    const std::string message =
        "Failed to connect. Could not connect on any known port. Please check your Quorell "
        "installation and Live Link settings.";
    oneInstance(5001, kEmptyScene);
    {
        auto f = renderFactory();  // the reported port refuses: the range is not tried
        EXPECT_EQ(f->getSceneApi(), nullptr);
        EXPECT_EQ(f->errorText(), message);
        EXPECT_TRUE(rangeRequests.empty());
    }
    EXPECT_EQ(live.disconnects, 0) << "a live object that never connected is not disconnected";

    // A reported port of 0 falls back to the registry range, tried in order.
    query.lists = {instanceList({entry(13, 100, 0)})};
    live.attempts.clear();
    live.acceptedPorts = {4001, 4002};
    EXPECT_EQ(renderFactory()->getSceneApi(), &live);
    EXPECT_EQ(live.attempts,
              (std::vector<Attempt>{{"127.0.0.1", 4000, 1}, {"127.0.0.1", 4001, 1}}));
    live.acceptedPorts.clear();

    struct Case {
        int32_t status, min, max;
        size_t attempts;
    };
    // The last range ends at the largest port number and must still terminate.
    for (Case c : {Case{0, 4000, 4003, 4}, Case{-1, 4000, 0, 0}, Case{-2, 1, 2, 0},
                   Case{-3, 1, 2, 0}, Case{0, 10, 9, 0}, Case{0, INT32_MAX - 1, INT32_MAX, 2}}) {
        SCOPED_TRACE("status " + std::to_string(c.status) + ", ports " + std::to_string(c.min) +
                     ".." + std::to_string(c.max));
        live.attempts.clear();
        rangeStatus = c.status;
        rangeMin = c.min;
        rangeMax = c.max;
        auto f = renderFactory();
        EXPECT_EQ(f->getSceneApi(), nullptr);
        EXPECT_EQ(f->errorText(), message);
        EXPECT_EQ(live.attempts.size(), c.attempts);
    }
}

// --------------------------------------------------------- library failures

TEST_F(RepeatLinkFactoryTest, MissingSceneInterfaceGivesItsMessageAndIsTriedAgain) {
    // (A missing query interface: the render flow's link-failure test.)
    haveScene = false;
    oneInstance(5001, kEmptyScene);
    auto f = renderFactory();
    EXPECT_EQ(f->getSceneApi(), nullptr);
    EXPECT_EQ(f->errorText(),
              "Failed to connect. Could not get a scene api. Please check your Quorell "
              "installation.\n");
    EXPECT_TRUE(live.attempts.empty());

    // A failed factory tries the whole connection again on the next call.
    haveScene = true;
    live.acceptedPorts = {5001};
    EXPECT_EQ(f->getSceneApi(), &live);
    EXPECT_EQ(f->errorText(), "");
    EXPECT_EQ(query.listCalls, 2);
}

// ------------------------------------------------------------------- closing

TEST_F(RepeatLinkFactoryTest, CloseDisconnectsOnceAndUnloadsTheLibrary) {
    oneInstance(5001, kEmptyScene);
    live.acceptedPorts = {5001};
    {
        auto f = renderFactory();
        ASSERT_NE(f->getSceneApi(), nullptr);
        f->close();
        EXPECT_EQ(live.disconnects, 1);
        EXPECT_EQ(unloads, 1);
    }
    EXPECT_EQ(live.disconnects, 1) << "the destructor finds nothing left to disconnect";
    EXPECT_EQ(unloads, 2);
    {
        auto f = renderFactory();
        ASSERT_NE(f->getSceneApi(), nullptr);
    }
    EXPECT_EQ(live.disconnects, 2);
    EXPECT_EQ(unloads, 3);

}

}  // namespace
