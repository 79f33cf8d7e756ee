// Scene factory for a .bip scene file: opens the file (or standard output for
// the path "-"), writes the header lines and owns writer and stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "scene/LightFactory.h"

class orvScene_api_file;

namespace orv {

class LightFileFactory : public LightFactory {
  public:
    // Throws std::runtime_error "could not open file: \"<path>\"" when the file
    // cannot be opened (after printing the system error with "opening file").
    explicit LightFileFactory(std::string path);
    ~LightFileFactory() override;
    LightFileFactory(const LightFileFactory&) = delete;
    LightFileFactory& operator=(const LightFileFactory&) = delete;

    orvScene_api* getSceneApi() override;
    void writeHeader(orvSceneapi_oo& oo) override;
    // Throws std::runtime_error "could not close file" when closing fails.
    void close() override;

    // Selects the id line of the header; 0 after construction.
    void setSceneNumber(int32_t number) { sceneNumber = number; }

  private:
    void writeFormatted(const char* format, ...);
    // Destroys the writer and closes the stream; false when closing failed.
    bool release();

    orvScene_api_file* writer = nullptr;
    FILE* file = nullptr;
    int32_t sceneNumber = 0;
};

// Opens a file named by a UTF-8 path (the wide-character open on Windows).
FILE* openUtf8Path(const std::string& path, const char* mode);

}  // namespace orv
