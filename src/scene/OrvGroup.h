// A named group of scene nodes with an optional placement: the tree of the scene.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/LightNode.h"

namespace orv {

class OrvGroup : public LightNode {
  public:
    explicit OrvGroup(std::string name);

    // Writes the group block: flags, transform, own nodes, then child groups.
    void write(orvSceneapi_oo& oo) override;
    void define(orvSceneapi_oo& oo) override;
    bool isDefined() const override;

    // Appends to the group's own nodes (geometry of its bodies); null is ignored.
    void addNode(std::shared_ptr<LightNode> node);
    // Appends to the child groups; null is ignored.
    void addChild(std::shared_ptr<LightNode> node);
    // Creates a child group, appends it to the child groups and returns it.
    std::shared_ptr<OrvGroup> addGroup(std::string name);

    void setFlags(uint32_t value) { flags = value; }
    // Copies 16 values (column-major, translation in 12..14).
    void setTransform(const double* m);

    const std::string& getName() const { return name; }
    uint32_t getFlags() const { return flags; }
    bool transformed() const { return hasTransform; }
    const std::array<double, 16>& getTransform() const { return transform; }
    const std::vector<std::shared_ptr<LightNode>>& getNodes() const { return nodes; }
    const std::vector<std::shared_ptr<LightNode>>& getChildren() const { return children; }

  private:
    std::string name;
    bool hasTransform = false;
    std::array<double, 16> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    uint32_t flags = 0;
    std::vector<std::shared_ptr<LightNode>> nodes;
    std::vector<std::shared_ptr<LightNode>> children;
};

}  // namespace orv
