#include "step/StepFileCheck.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "step/StepDesign.h"

namespace steploader {

namespace {

bool isTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '+' ||
           c == '-';
}

bool sameLetters(std::string_view text, std::string_view upperCase) {
    if (text.size() != upperCase.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != upperCase[i]) return false;
    return true;
}

bool isNonFinite(std::string_view token) {
    const std::string_view bare = token.substr(token[0] == '+' || token[0] == '-' ? 1 : 0);
    if (bare.empty()) return false;
    if (sameLetters(bare, "NAN") || sameLetters(bare, "INF") || sameLetters(bare, "INFINITY"))
        return true;
    const bool number = std::isdigit(static_cast<unsigned char>(bare[0])) || bare[0] == '.';
    return number && bare.find_first_of("Ee") != std::string_view::npos &&
           !std::isfinite(std::strtod(std::string(token).c_str(), nullptr));
}

}  // namespace

std::string findNonFiniteNumber(const std::string& text) {
    size_t line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '\'') {
            // A string; a quote inside is written twice, which this reads as
            // two strings in a row.
            for (++i; i < text.size() && text[i] != '\''; ++i)
                if (text[i] == '\n') ++line;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            for (i += 2; i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/'); ++i)
                if (text[i] == '\n') ++line;
            ++i;
        } else if (isTokenChar(c)) {
            std::size_t end = i;
            while (end < text.size() && isTokenChar(text[end])) ++end;
            const std::string_view token(text.data() + i, end - i);
            i = end - 1;
            if (isNonFinite(token)) {
                std::string shown(token.substr(0, 40));
                if (token.size() > 40) shown += "...";
                return "line " + std::to_string(line) + ": the number " + shown + " is not finite";
            }
        }
    }
    return {};
}

namespace {

// Opens the file and checks its header and trailer; returns the open stream
// and the file's size.
std::ifstream openStepFile(const std::string& path, std::streamoff& size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw LoadError(path + ": cannot open: " + std::strerror(errno));
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw LoadError(path + ": is a directory");

    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || head.compare(start, 13, "ISO-10303-21;") != 0) {
        throw LoadError(path + ": not a STEP file (no ISO-10303-21 header)");
    }

    in.clear();
    in.seekg(0, std::ios::end);
    size = in.tellg();
    const std::streamoff tailSize = std::min<std::streamoff>(size, 4096);
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    in.seekg(size - tailSize);
    in.read(tail.data(), tailSize);
    if (tail.find("END-ISO-10303-21") == std::string::npos) {
        throw LoadError(path + ": truncated STEP file (no END-ISO-10303-21 trailer)");
    }

    return in;
}

}  // namespace

void checkStepFrame(const std::string& path) {
    std::streamoff size = 0;
    openStepFile(path, size);
}

void checkStepFile(const std::string& path) {
    std::streamoff size = 0;
    std::ifstream in = openStepFile(path, size);
    // OpenCASCADE reads NAN and INF as numbers, and meshing a shape with one
    // of them in a coordinate never ends.
    in.clear();
    in.seekg(0);
    std::string text(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (const std::string problem = findNonFiniteNumber(text); !problem.empty())
        throw LoadError(path + ": " + problem + " (OpenCASCADE cannot mesh it)");
}

}  // namespace steploader
