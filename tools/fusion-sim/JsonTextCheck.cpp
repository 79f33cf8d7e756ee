#include "tools/fusion-sim/JsonTextCheck.h"

#include <cmath>
#include <cstdlib>

namespace fusionsim {

std::string JsonTextProblem::text() const {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + cause;
}

namespace {

bool isNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

}  // namespace

std::optional<JsonTextProblem> checkJsonText(const std::string& text) {
    size_t depth = 0, line = 1, lineStart = 0;
    const size_t size = text.size();
    auto problem = [&](size_t at, std::string cause) {
        return JsonTextProblem{line, at - lineStart + 1, std::move(cause)};
    };
    for (size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            lineStart = i + 1;
        } else if (c == '"') {
            // Skips the string; an unterminated one is left to the parser.
            for (++i; i < size && text[i] != '"'; ++i) {
                if (text[i] == '\\')
                    ++i;
                else if (text[i] == '\n')
                    ++line, lineStart = i + 1;
            }
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonNesting)
                return problem(i, "values nested deeper than " + std::to_string(kMaxJsonNesting) +
                                      " levels, the most a design may hold");
        } else if (c == ']' || c == '}') {
            if (depth > 0) --depth;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            size_t end = i;
            bool exponent = false;
            while (end < size && isNumberChar(text[end])) exponent |= (text[end++] | 0x20) == 'e';
            // Without an exponent only a number of more than 300 digits can overflow.
            if (exponent || end - i > 300) {
                const std::string token = text.substr(i, end - i);
                if (std::isinf(std::strtod(token.c_str(), nullptr)))
                    return problem(i, "the number " + token.substr(0, 40) +
                                          (token.size() > 40 ? "..." : "") +
                                          " is beyond the range of a double");
            }
            i = end - 1;
        }
    }
    return std::nullopt;
}

}  // namespace fusionsim
