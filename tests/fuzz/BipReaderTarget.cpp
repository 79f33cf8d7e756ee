#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzTargets.h"
#include "importers/bip/BipReader.h"
#include "importers/sceneapi/orvScene_api_file.h"
#include "preview/SceneBuilder.h"

namespace {

// The scene read into a file writer on a memory stream; false when refused.
bool replay(std::string_view text, std::string& out, std::string& error) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    fuzzCheck(stream != nullptr, "a memory stream opens");
    bool read = true;
    {
        orvScene_api_file writer(stream, false);
        try {
            orv::bip::readSceneText(text, "fuzz.bip", writer);
        } catch (const orv::bip::ReadError& e) {
            error = e.what();
            read = false;
        }
    }
    std::fclose(stream);
    out.assign(buffer, size);
    std::free(buffer);
    return read;
}

}  // namespace

int fuzzBipReader(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string written, error;
    if (!replay(text, written, error)) {
        fuzzCheck(error.rfind("fuzz.bip:", 0) == 0, "a refusal names the file");
        return 0;
    }
    // The preview's scene builder takes whatever the reader accepts.
    preview::SceneBuilder builder;
    orv::bip::readSceneText(text, "fuzz.bip", builder);
    preview::Vec3 low, high;
    preview::boundingBox(builder.take(), low, high);
    // What the reader accepted and the writer wrote, it reads back unchanged.
    std::string again;
    fuzzCheck(replay(written, again, error), "a written scene reads");
    fuzzCheck(again == written, "a written scene reads back to the same bytes");
    return 0;
}
