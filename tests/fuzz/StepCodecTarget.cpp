#include <string>
#include <string_view>

#include "FuzzTargets.h"
#include "host/DesignBuilder.h"
#include "step/DesignCodec.h"
#include "step/HostDocument.h"

int fuzzStepCodec(const uint8_t* data, size_t size) {
    steploader::Design design;
    try {
        design =
            steploader::decodeDesign(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const steploader::LoadError&) {
        return 0;
    }
    // Whatever decodes, encodes to bytes that decode to the same records.
    const std::string encoded = steploader::encodeDesign(design);
    const std::string again = steploader::encodeDesign(steploader::decodeDesign(encoded));
    fuzzCheck(again == encoded, "decoded records encode and decode unchanged");
    try {
        host::validateDocument(steploader::toHostDocument(std::move(design)));
    } catch (const std::exception&) {
        // Inconsistent records are refused; they must not crash the filler.
    }
    return 0;
}
