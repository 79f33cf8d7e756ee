// The fuzz targets: each takes one input of any bytes, must neither crash
// nor hang on it, and aborts when a property that must hold for every input
// does not. Built into libFuzzer programs (QUORELL_FUZZ) and into the test
// that replays the checked-in corpora.
#pragma once

#include <cstddef>
#include <cstdint>

// A JSON design file: loaded, and when it loads, exported through the add-in.
int fuzzJsonDesign(const uint8_t* data, size_t size);
// A .reg hive file: parsed, and when it parses, written and parsed again.
int fuzzRegHive(const uint8_t* data, size_t size);
// A live-link transfer as the renderer receives it: frames recorded, stored
// twice (the second as an update), written as a scene file, described.
int fuzzRendererFrames(const uint8_t* data, size_t size);
// The design records a STEP loading process hands to fusion-sim.
int fuzzStepCodec(const uint8_t* data, size_t size);

// A .bip scene file: read into the file writer and the preview's scene builder,
// and what the writer wrote read again.
int fuzzBipReader(const uint8_t* data, size_t size);

// Aborts with the message when a property does not hold.
void fuzzCheck(bool holds, const char* what);
