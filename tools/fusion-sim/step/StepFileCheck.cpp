#include "step/StepFileCheck.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "step/StepDesign.h"

namespace steploader {

namespace {

bool isTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '+' ||
           c == '-';
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
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
            size_t end = i;
            while (end < text.size() && isTokenChar(text[end])) ++end;
            std::string token = text.substr(i, end - i);
            i = end - 1;
            const std::string bare = upper(token.substr(token[0] == '+' || token[0] == '-'));
            const bool number = std::isdigit(static_cast<unsigned char>(bare[0])) || bare[0] == '.';
            if (bare == "NAN" || bare == "INF" || bare == "INFINITY" ||
                (number && bare.find('E') != std::string::npos &&
                 !std::isfinite(std::strtod(token.c_str(), nullptr)))) {
                if (token.size() > 40) token = token.substr(0, 40) + "...";
                return "line " + std::to_string(line) + ": the number " + token + " is not finite";
            }
        }
    }
    return {};
}

void checkStepFile(const std::string& path) {
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
    const std::streamoff size = in.tellg();
    const std::streamoff tailSize = std::min<std::streamoff>(size, 4096);
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    in.seekg(size - tailSize);
    in.read(tail.data(), tailSize);
    if (tail.find("END-ISO-10303-21") == std::string::npos) {
        throw LoadError(path + ": truncated STEP file (no END-ISO-10303-21 trailer)");
    }

    // OpenCASCADE reads NAN and INF as numbers, and meshing a shape with one
    // of them in a coordinate never ends.
    in.clear();
    in.seekg(0);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const std::string problem = findNonFiniteNumber(text); !problem.empty())
        throw LoadError(path + ": " + problem + " (OpenCASCADE cannot mesh it)");
}

}  // namespace steploader
