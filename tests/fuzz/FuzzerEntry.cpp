// The libFuzzer entry of one target; QUORELL_FUZZ_TARGET names it.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return QUORELL_FUZZ_TARGET(data, size);
}
