// The model sets a renderer instance holds: one per scene name (the name of
// a scene's root group). A scene arriving for a model set already held is an
// update: a component group flagged unchanged keeps the body groups it held
// before; everything else is replaced.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "SceneRecording.h"

namespace renderer {

// Group flag bits as the add-in sets them.
inline constexpr uint32_t kFlagComponent = 0x0001;
inline constexpr uint32_t kFlagChanged = 0x8000;
inline constexpr uint32_t kFlagBody = 0x0400;
inline constexpr uint32_t kFlagAppearance = 0x10000;

bool isUnchangedComponent(const GroupNode& group);
bool isBodyGroup(const GroupNode& group);

// Moves into every unchanged component group of incoming the body groups
// that the group at the same place in previous holds. Places are paths of
// group names from the top, with same-named siblings told apart by their order.
void keepUnchangedBodies(SceneRecording& incoming, SceneRecording& previous);

class ModelSets {
  public:
    // A number for the next transfer (chunk numbers are per transfer).
    uint32_t nextSession() { return ++lastSession_; }

    // Stores a received scene and returns its model set name; a scene
    // without a group at top level is not kept (empty result).
    std::string store(SceneRecording scene);

    const SceneRecording* find(const std::string& name) const;
    size_t size() const { return sets_.size(); }

    // <scene><modelsets><modelset name=".." modelset="active"><group .../></modelset>...
    std::string descriptionXml() const;

  private:
    std::map<std::string, SceneRecording> sets_;
    uint32_t lastSession_ = 0;
};

// The file name of a model set's scene: the name with path separators and
// control characters replaced, so that it stays inside the scenes folder.
std::string sceneFileName(const std::string& modelSet);

// Writes the scene through the .bip file writer (text arrays, indentation
// on) after the usual header lines, via a temporary file renamed into place.
bool writeSceneFile(const SceneRecording& scene, const std::string& path, std::string* error);

// The header lines a .bip file starts with, written through writeText
// before the writer's flags are set.
void writeSceneHeader(orvScene_api& api);

}  // namespace renderer
