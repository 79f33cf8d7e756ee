// Inputs built to hurt: design files that nest, chain or ask for too much,
// records of other processes, folders where files belong. Each gets a clear
// refusal or works.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "livelib/InstanceRecords.h"
#include "platform/Platform.h"
#include "support/Files.h"
#include "support/Program.h"
#include "tools/fusion-sim/DesignLoader.h"

namespace fs = std::filesystem;

namespace {

using support::TempFolder;

fs::path write(const TempFolder& folder, const std::string& name, const std::string& text) {
    support::writeFile(folder / name, text);
    return folder / name;
}

std::string repeat(const std::string& text, size_t count) {
    std::string out;
    out.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i) out += text;
    return out;
}

// The design files of tests/data/hardening/design-refusals.tsv, by case name.
std::map<std::string, std::function<fs::path(const TempFolder&)>> designCases() {
    const std::string head = R"({"format": "design/1", "components": [)";
    return {
        {"format-nested",
         [](const TempFolder& t) {
             return write(t, "nested.json",
                          "{\"format\": " + repeat("[", 100000) + repeat("]", 100000) + "}");
         }},
        {"placement-chain",
         [head](const TempFolder& t) {
             std::string text = head;
             for (int i = 0; i < 20000; ++i)
                 text += (i ? "," : "") + std::string("{\"id\": \"c") + std::to_string(i) +
                         "\", \"occurrences\": [{\"component\": \"c" + std::to_string(i + 1) +
                         "\"}]}";
             return write(t, "chain.json", text + ",{\"id\": \"c20000\"}]}");
         }},
        {"number-beyond-double",
         [head](const TempFolder& t) {
             return write(t, "number.json",
                          "{\"format\": \"design/1\",\n\"units\": \"cm\",\n"
                          "\"camera\": {\"eye\": [0, 0, 1e400]}}");
         }},
        {"four-spheres",
         [head](const TempFolder& t) {
             const std::string sphere =
                 R"({"shape": {"type": "sphere", "segments": 2048, "rings": 2048}})";
             return write(t, "spheres.json",
                          head + R"({"name": "Balls", "bodies": [)" + sphere + "," + sphere + "," +
                              sphere + "," + sphere + "]}]}");
         }},
        {"occurrence-fan",
         [head](const TempFolder& t) {
             std::string text = head;
             for (int i = 0; i < 7; ++i) {
                 text += "{\"id\": \"c" + std::to_string(i) + "\", \"occurrences\": [";
                 for (int k = 0; k < 10; ++k)
                     text += (k ? "," : "") + std::string("{\"component\": \"c") +
                             std::to_string(i + 1) + "\"}";
                 text += "]},";
             }
             return write(t, "fan.json", text + "{\"id\": \"c7\"}]}");
         }},
        {"folder.json",
         [](const TempFolder& t) {
             fs::create_directories(t.path() / "folder.json");
             return t.path() / "folder.json";
         }},
        {"endless.json",
         [](const TempFolder& t) {
             fs::create_symlink("/dev/zero", t.path() / "endless.json");
             return t.path() / "endless.json";
         }},
        {"step-nan",
         [](const TempFolder& t) {
             return write(t, "nan.step",
                          "ISO-10303-21;\nHEADER;\nENDSEC;\nDATA;\n"
                          "#1=CARTESIAN_POINT('NAN, said the label',(1.,NAN,1.));\n"
                          "ENDSEC;\nEND-ISO-10303-21;\n");
         }},
    };
}

TEST(HostileInput, DesignFilesAreRefusedNamingFilePlaceAndLimit) {
    const auto cases = designCases();
    const auto table = support::readTable("hardening/design-refusals.tsv");
    EXPECT_EQ(table.size(), cases.size());
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(cases.count(row[0]), 1u);
        TempFolder folder;
        const std::string path = cases.at(row[0])(folder).string();
        try {
            fusionsim::loadDesign(path);
            ADD_FAILURE() << "loaded";
        } catch (const fusionsim::DesignError& e) {
            if (std::string(e.what()).find("STEP loader") == std::string::npos) {
                EXPECT_EQ(e.what(), path + ": " + row.at(1));
            }
        }
    }
}

TEST(HostileInput, InstanceRecordOfAnotherProcessWithTheSameIdIsRemoved) {
    TempFolder folder;
    support::ScopedEnv runtime("QUORELL_RUNTIME_DIR", folder.path().string());
    livelink::InstanceRecord record;
    record.processId = ::getpid();  // alive, but not the process that published the record
    record.versionMajor = 12;
    record.livelinkPort = 4000;
    record.startTime = livelink::processStartTime(record.processId) + 1;
    ASSERT_TRUE(livelink::publishInstance(record, nullptr));
    EXPECT_TRUE(livelink::runningInstances().empty());
    EXPECT_FALSE(fs::exists(livelink::instanceRecordPath(record.processId)));

    record.startTime -= 1;  // now it is this process's own record
    ASSERT_TRUE(livelink::publishInstance(record, nullptr));
    EXPECT_EQ(livelink::runningInstances().size(), 1u);
}

TEST(HostileInput, FoldersAreNotTakenForFiles) {
    TempFolder folder;
    // A BinName naming a folder is not an executable (_wfopen opens no folder).
    EXPECT_EQ(platform::openFile(folder.path().wstring(), "r"), nullptr);
    fs::create_directories(folder.path() / "scripts");
    support::RunOptions options;
    options.folder = folder.path();
    const support::Outcome o = support::run({FUSION_SIM, "--script", "scripts"}, options);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err,
              "fusion-sim: the script scripts is a folder, not a file (see fusion-sim --help)\n");
}

}  // namespace
