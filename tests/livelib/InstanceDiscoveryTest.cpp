// Instance records and the query interface's instance list.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tinyxml2.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "livelib/InstanceRecords.h"
#include "livelib/LiveQueryApi.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace {

struct Listed {
    long long pid, port, major, minor;
};

// Reads the list the way the add-in does: children of the first element.
std::vector<Listed> parse(const char* xml) {
    std::vector<Listed> out;
    tinyxml2::XMLDocument doc;
    if (!xml || doc.Parse(xml) != tinyxml2::XML_SUCCESS) return out;
    const tinyxml2::XMLElement* root = doc.FirstChildElement();
    if (!root) return out;
    for (auto* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        auto value = [&](const char* tag) {
            const tinyxml2::XMLElement* v = e->FirstChildElement(tag);
            return v && v->GetText() ? std::atoll(v->GetText()) : -1;
        };
        out.push_back({value("process_id"), value("livelink_port"), value("version_major"),
                       value("version_minor")});
    }
    return out;
}

int64_t deadProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

class InstanceDiscovery : public ::testing::Test {
  protected:
    support::TempFolder temp_;
    const fs::path folder_ = temp_ / "instances";
    support::ScopedEnv runtime_{"QUORELL_RUNTIME_DIR", folder_.string()};
    void publish(int64_t pid, int port, int major = 12) {
        std::string error;
        ASSERT_TRUE(livelink::publishInstance({pid, major, 3, port}, &error)) << error;
    }
    livelink::LiveQueryApi query_;
};

TEST_F(InstanceDiscovery, NoFolderAndEmptyFolderListNothing) {
    EXPECT_TRUE(parse(query_.listInstances()).empty());
    fs::create_directories(folder_);
    const char* xml = query_.listInstances();
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse(xml), tinyxml2::XML_SUCCESS);
    EXPECT_NE(doc.FirstChildElement(), nullptr);
    EXPECT_TRUE(parse(xml).empty());
}

TEST_F(InstanceDiscovery, ListsLiveInstancesInProcessOrder) {
    publish(::getpid(), 4001, 13);
    auto one = parse(query_.listInstances());
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].pid, ::getpid());
    EXPECT_EQ(one[0].port, 4001);
    EXPECT_EQ(one[0].major, 13);
    EXPECT_EQ(one[0].minor, 3);

    publish(1, 4002);  // init: always alive
    auto two = parse(query_.listInstances());
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].pid, 1);
    EXPECT_EQ(two[0].port, 4002);
    EXPECT_EQ(two[1].pid, ::getpid());
}

TEST_F(InstanceDiscovery, StaleAndBrokenRecordsAreSkippedAndRemoved) {
    publish(::getpid(), 4001);
    const int64_t dead = deadProcessId();
    publish(dead, 4003);
    std::ofstream(folder_ / "777.instance") << "garbage\n";
    // A record filed under another process's name is not trusted.
    fs::copy_file(livelink::instanceRecordPath(::getpid()), folder_ / "1.instance");

    auto listed = parse(query_.listInstances());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].pid, ::getpid());
    EXPECT_FALSE(fs::exists(livelink::instanceRecordPath(dead)));
    EXPECT_FALSE(fs::exists(folder_ / "777.instance"));
    EXPECT_FALSE(fs::exists(folder_ / "1.instance"));
    EXPECT_TRUE(fs::exists(livelink::instanceRecordPath(::getpid())));

    EXPECT_FALSE(query_.attachInstance(dead));
    EXPECT_EQ(query_.sceneDescription(), nullptr);
}

TEST_F(InstanceDiscovery, AttachFailsWhenNobodyAnswersOnThePort) {
    publish(::getpid(), 1);  // a port nothing of ours listens on
    EXPECT_FALSE(query_.attachInstance(::getpid()));
    EXPECT_FALSE(query_.lastError().empty());
    query_.detachInstance();  // harmless without an attachment
}

}  // namespace
