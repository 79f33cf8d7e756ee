#include "convert/DocumentKey.h"

std::string documentKey(const std::string& documentName) {
    const auto space = documentName.rfind(' ');
    if (space == std::string::npos) return documentName;
    const std::size_t digitsFrom = space + 2;  // the character right after the space is the "v"
    if (digitsFrom >= documentName.size()) return documentName;
    for (std::size_t i = digitsFrom; i < documentName.size(); ++i) {
        const char c = documentName[i];
        if (c < '0' || c > '9') return documentName;
    }
    return documentName.substr(0, space);
}
