// The key that names a document's scene: the document name without its version
// suffix. The root group and the renderer's model set both carry it.
#pragma once

#include <string>

// "Desk Lamp v3" -> "Desk Lamp". The name is cut before its last space when at least
// two characters follow it and all of them from the second one on are decimal digits.
std::string documentKey(const std::string& documentName);
