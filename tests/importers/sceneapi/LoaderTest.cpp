// The live library loader against real dlopen'ed doubles of the live library.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <utility>
#include <vector>

#include "importers/sceneapi/LoaderFixture.h"

namespace {

class LoaderTest : public LoaderFixture {
  protected:
    std::string logText(int version = 12) const {
        return readFile(dir_ + "/Quorell" + std::to_string(version) + "/resources/sceneapi.log");
    }
    static bool has(const std::string& text, const std::string& pattern) {
        return std::regex_search(text, std::regex(pattern));
    }
};

TEST_F(LoaderTest, LoadsFromTheProgramFolderAndReusesTheLoadedLibrary) {
    const std::string folder = install(12);
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");

    QueryApi* query = orv_get_query_api(12, 13);
    ASSERT_NE(query, nullptr);
    EXPECT_STREQ(query->listInstances(), "<instances/>");
    orvScene_api* scene = orv_get_scene_api(12, 13);
    ASSERT_NE(scene, nullptr);
    // Later calls reuse the library, whatever range they give.
    EXPECT_EQ(orv_get_scene_api(1, 2), scene);
    EXPECT_EQ(orv_get_query_api(99, 99), query);

    const std::string text = logText();
    EXPECT_EQ(count(text, "initialize shared handle: "), 1u) << text;
    EXPECT_TRUE(has(text, "DEBUG4:  " + folder + "/bin\n")) << text;
    EXPECT_TRUE(has(text, "DEBUG4:  orv_get_query_api -> quorell_live_loader: 0\n")) << text;
    EXPECT_TRUE(has(text, "DEBUG4:  orv_get_query_api -> quorell_live_loader: 0x[0-9a-f]+\n"));
    EXPECT_TRUE(has(text, "DEBUG4:  initialize shared handle: 0x[0-9a-f]+\n")) << text;
    EXPECT_TRUE(has(text, "DEBUG4:  Quorell live: 0x[0-9a-f]+\n")) << text;
    // Lines name this loader's source file.
    EXPECT_TRUE(has(text, "^quorelllive_loader\\.cpp:\\d+ - ")) << text;
}

TEST_F(LoaderTest, MissingLibraryLogsNoSharedHandle) {
    const std::string folder = install(12);
    EXPECT_EQ(orv_get_query_api(12, 13), nullptr);
    EXPECT_EQ(orv_get_scene_api(12, 13), nullptr);
    const std::string text = logText();
    EXPECT_TRUE(has(text, "DEBUG4:  " + folder + "/bin\n")) << text;
    EXPECT_TRUE(has(text, "DEBUG4:  initialize shared handle: 0\n")) << text;
    EXPECT_TRUE(has(text, "WARNING:  NO shared handle\n")) << text;
    EXPECT_FALSE(has(text, "Quorell live: ")) << text;
    // Each getter tried again: nothing was kept.
    EXPECT_EQ(count(text, "NO shared handle"), 2u) << text;
}

TEST_F(LoaderTest, MissingEntryPointOrNullSharedObjectGivesNoInterfaces) {
    for (const char* variant : {"no_entry", "null"}) {
        SCOPED_TRACE(variant);
        const std::string folder = install(12);
        std::filesystem::remove(folder + "/resources/sceneapi.log");
        Output2FILE::reset();
        placeDouble(variant, folder + "/bin", "orvquorelllive6_64.so");
        EXPECT_EQ(orv_get_query_api(12, 13), nullptr);
        EXPECT_EQ(orv_get_scene_api(12, 13), nullptr);
        const std::string text = logText();
        EXPECT_EQ(count(text, "DEBUG4:  Quorell live: 0\n"), 2u) << text;
        EXPECT_FALSE(has(text, "NO shared handle")) << text;
        // The failed library was released: the next query starts from nothing.
        EXPECT_EQ(count(text, "orv_get_query_api -> quorell_live_loader: 0\n"), 1u) << text;
        FILE_LOG(logINFO) << "end";
        EXPECT_EQ(orv_get_query_api(12, 13), nullptr);
        EXPECT_EQ(count(logText(), "orv_get_query_api -> quorell_live_loader: 0\n"), 2u);
    }
}

TEST_F(LoaderTest, UnloadThenQueryLoadsAgain) {
    const std::string folder = install(12);
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");
    ASSERT_NE(orv_get_query_api(12, 13), nullptr);
    unloadLiveLibrary();
    unloadLiveLibrary();  // nothing left to release
    ASSERT_NE(orv_get_query_api(12, 13), nullptr);
    const std::string text = logText();
    EXPECT_EQ(count(text, "orv_get_query_api -> quorell_live_loader: 0\n"), 2u) << text;
    EXPECT_EQ(count(text, "initialize shared handle: 0x"), 2u) << text;
}

TEST_F(LoaderTest, NoInstallationInRangeLoadsNothingAndLogsNoAttempt) {
    const std::string folder = install(9);  // the log's range 5..20 still finds it
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");
    EXPECT_EQ(orv_get_scene_api(12, 13), nullptr);
    EXPECT_EQ(orv_get_query_api(12, 13), nullptr);
    const std::string text = logText(9);
    EXPECT_FALSE(has(text, "initialize shared handle")) << text;
    EXPECT_EQ(count(text, "\n"), 1u) << text;  // only the query getter's own line
}

// Which files load, by name and folder: the 32-bit name is tried first (the
// "null" double loads and gives nothing), the current folder is searched too,
// and before version 6 the name has no "6_".
TEST_F(LoaderTest, FileNamesAndFoldersThatLoad) {
    struct Case {
        int version;
        bool currentFolder;
        std::vector<std::pair<std::string, std::string>> doubles;  // variant, file name
        bool loads;
    };
    const Case cases[] = {
        {12, false, {{"null", "orvquorelllive6_32.so"}, {"normal", "orvquorelllive6_64.so"}}, false},
        {12, true, {{"normal", "orvquorelllive6_64.so"}}, true},
        {5, false, {{"normal", "orvquorelllive6_64.so"}}, false},
        {5, false, {{"normal", "orvquorelllive64.so"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + c.doubles.back().second);
        unloadLiveLibrary();
        std::filesystem::remove_all(dir_ + "/Quorell" + std::to_string(c.version));
        for (const auto& entry : std::filesystem::directory_iterator(cwd_))
            std::filesystem::remove(entry.path());
        const std::string folder = install(c.version);
        for (const auto& [variant, name] : c.doubles)
            placeDouble(variant, c.currentFolder ? cwd_ : folder + "/bin", name);
        EXPECT_EQ(orv_get_query_api(c.version, c.version) != nullptr, c.loads);
    }
}

TEST_F(LoaderTest, LoadIntoAHandleThatHoldsASharedObjectIsRefused) {
    const std::string folder = install(12);
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");
    LiveLibrary lib;
    ASSERT_TRUE(loadLiveLibrary(lib, 12, 13));
    EXPECT_FALSE(loadLiveLibrary(lib, 12, 13));
    delete lib.shared;
    EXPECT_TRUE(platform::freeLibrary(lib.module));
}

}  // namespace
