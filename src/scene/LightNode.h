// Base of every scene node. Nodes are held by std::shared_ptr, may have
// several owners, and never point upwards in the tree.
#pragma once

namespace orv {

class orvSceneapi_oo;

class LightNode {
public:
    // Writes the node where it stands in the tree.
    virtual void write(orvSceneapi_oo& oo) = 0;
    // Writes the node's shared definition once (geometry and materials).
    virtual void define(orvSceneapi_oo& oo) = 0;
    virtual bool isDefined() const = 0;
    virtual ~LightNode() = default;
};

}  // namespace orv
