// The cheap look at a file before OpenCASCADE sees it, so that plainly wrong
// files are refused without starting a loading process.
#pragma once

#include <string>

namespace steploader {

// The file opens, starts with the ISO 10303-21 header and ends with its
// trailer. Throws LoadError naming the file and the cause.
void checkStepFile(const std::string& path);

}  // namespace steploader
