#pragma once
// Loader of the JSON design format "design/1".

#include <string>

#include "tools/fusion-sim/DesignLoader.h"

namespace fusionsim {

class JsonDesignLoader : public DesignLoader {
  public:
    host::DocumentData load(const std::string& path) const override;
    // The same from text; relative file names are taken relative to baseFolder and
    // errors name displayName.
    host::DocumentData loadText(const std::string& text, const std::string& displayName,
                                const std::string& baseFolder) const;
};

}  // namespace fusionsim
