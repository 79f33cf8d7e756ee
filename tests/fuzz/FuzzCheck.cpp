#include <cstdio>
#include <cstdlib>

#include "FuzzTargets.h"

void fuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}
