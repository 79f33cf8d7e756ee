#include "step/StepSettings.h"

namespace steploader {
namespace {

Options& current() {
    static Options options;
    return options;
}

}  // namespace

Options settings() { return current(); }

void setSettings(const Options& options) { current() = options; }

}  // namespace steploader
