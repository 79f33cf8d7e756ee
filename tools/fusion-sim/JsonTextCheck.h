#pragma once
// A pass over JSON text before it is parsed, for what the parser would
// handle badly: nesting deep enough to exhaust the stack of any recursive
// walk, and numbers beyond the range of double (which the parser reports
// without saying where).

#include <cstddef>
#include <optional>
#include <string>

namespace fusionsim {

inline constexpr size_t kMaxJsonNesting = 64;

struct JsonTextProblem {
    size_t line = 1;
    size_t column = 1;
    std::string cause;
    // "line 3, column 7: cause"
    std::string text() const;
};

std::optional<JsonTextProblem> checkJsonText(const std::string& text);

}  // namespace fusionsim
