// Every checked-in fuzz input (seeds, and each input that once failed) runs
// through its target again: a crash, a sanitizer report or a violated
// property fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTargets.h"

namespace {

using Target = int (*)(const uint8_t*, size_t);

size_t replayCorpus(const std::string& name, Target target) {
    const std::filesystem::path folder = std::filesystem::path(QUORELL_FUZZ_CORPUS) / name;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    return files.size();
}

}  // namespace

TEST(FuzzCorpus, JsonDesign) {
    EXPECT_GT(replayCorpus("json_design", fuzzJsonDesign), 0u);
}
TEST(FuzzCorpus, RegHive) {
    EXPECT_GT(replayCorpus("reg_hive", fuzzRegHive), 0u);
}
TEST(FuzzCorpus, RendererFrames) {
    EXPECT_GT(replayCorpus("renderer_frames", fuzzRendererFrames), 0u);
}
TEST(FuzzCorpus, BipReader) {
    EXPECT_GT(replayCorpus("bip_reader", fuzzBipReader), 0u);
}
#ifdef QUORELL_FUZZ_STEP
TEST(FuzzCorpus, StepCodec) {
    EXPECT_GT(replayCorpus("step_codec", fuzzStepCodec), 0u);
}
#endif
