#include <string>
#include <string_view>

#include "FuzzTargets.h"
#include "platform/RegistryFile.h"

int fuzzRegHive(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::RegistryFile hive(platform::Hive::CurrentUser);
    std::string error;
    if (!hive.parse(text, "fuzz.reg", &error)) {
        fuzzCheck(error.rfind("fuzz.reg: line ", 0) == 0, "a refusal names the file and line");
        return 0;
    }
    // What the hive writes, it reads back as the same hive.
    const std::string written = hive.text();
    platform::RegistryFile again(platform::Hive::CurrentUser);
    fuzzCheck(again.parse(written, "written.reg", &error), "a written hive parses");
    fuzzCheck(again.text() == written, "a written hive reads back unchanged");
    return 0;
}
