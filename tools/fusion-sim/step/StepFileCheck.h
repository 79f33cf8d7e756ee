// The cheap look at a file before OpenCASCADE sees it, so that plainly wrong
// files are refused without starting a loading process.
#pragma once

#include <string>

namespace steploader {

// The file opens, starts with the ISO 10303-21 header, ends with its trailer
// and holds only finite numbers. Throws LoadError naming the file and the cause.
void checkStepFile(const std::string& path);

// The same without reading the whole file for its numbers: what a program
// that hands the file to the reader checks first (the reader checks it all).
void checkStepFrame(const std::string& path);

// "line N: the number NAN is not finite" for the first number in the STEP
// text that is not finite (NAN, INF or beyond the range of double); empty
// when there is none.
std::string findNonFiniteNumber(const std::string& text);

}  // namespace steploader
