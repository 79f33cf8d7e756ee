// The live library loader against real dlopen'ed doubles of the live library.
#include <gtest/gtest.h>

#include <regex>

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

TEST_F(LoaderTest, ThirtyTwoBitNameIsTriedFirst) {
    const std::string folder = install(12);
    placeDouble("null", folder + "/bin", "orvquorelllive6_32.so");
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");
    EXPECT_EQ(orv_get_query_api(12, 13), nullptr);  // the 32 file loads and gives nothing
    unloadLiveLibrary();
    std::filesystem::remove(folder + "/bin/orvquorelllive6_32.so");
    EXPECT_NE(orv_get_query_api(12, 13), nullptr);
}

TEST_F(LoaderTest, LibraryOnlyInTheCurrentFolder) {
    install(12);
    placeDouble("normal", cwd_, "orvquorelllive6_64.so");
    EXPECT_NE(orv_get_scene_api(12, 13), nullptr);
    EXPECT_TRUE(has(logText(), "initialize shared handle: 0x[0-9a-f]+\n"));
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

TEST_F(LoaderTest, FileNamesFollowTheMajorVersion) {
    EXPECT_EQ(liveLibraryStem(12), L"orvquorelllive6_");
    EXPECT_EQ(liveLibraryStem(6), L"orvquorelllive6_");
    EXPECT_EQ(liveLibraryStem(5), L"orvquorelllive");
    const std::string folder = install(5);
    placeDouble("normal", folder + "/bin", "orvquorelllive6_64.so");  // not this version's name
    EXPECT_EQ(orv_get_query_api(5, 5), nullptr);
    placeDouble("normal", folder + "/bin", "orvquorelllive64.so");
    EXPECT_NE(orv_get_query_api(5, 5), nullptr);
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
