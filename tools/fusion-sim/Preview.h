// fusion-sim --preview: the exported scene rendered to a picture.
#pragma once

#include <iosfwd>
#include <string>

namespace fusionsim {

// Renders the scene file to the PNG picture; 0 when written, 1 when the
// scene could not be read or rendered, 2 when pictures are not built in.
int renderPreview(const std::string& scene, const std::string& picture, std::ostream& out, std::ostream& err);

}  // namespace fusionsim
