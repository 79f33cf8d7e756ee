#include "scene/OrvGroup.h"

#include <algorithm>

#include "importers/sceneapi/orvSceneapi_oo.h"

namespace orv {

OrvGroup::OrvGroup(std::string name) : name(std::move(name)) {}

void OrvGroup::write(orvSceneapi_oo& oo) {
    oo.beginGroup(name);
    if (flags != 0) oo.flags(flags);
    if (hasTransform) oo.transform(transform.data());
    // A group's own geometry always precedes its child groups.
    for (const auto& node : nodes) node->write(oo);
    for (const auto& child : children) child->write(oo);
    oo.endGroup();
}

void OrvGroup::define(orvSceneapi_oo&) {}

bool OrvGroup::isDefined() const {
    return false;
}

void OrvGroup::addNode(std::shared_ptr<LightNode> node) {
    if (node) nodes.push_back(std::move(node));
}

void OrvGroup::addChild(std::shared_ptr<LightNode> node) {
    if (node) children.push_back(std::move(node));
}

std::shared_ptr<OrvGroup> OrvGroup::addGroup(std::string groupName) {
    auto group = std::make_shared<OrvGroup>(std::move(groupName));
    children.push_back(group);
    return group;
}

void OrvGroup::setTransform(const double* m) {
    std::copy(m, m + 16, transform.begin());
    hasTransform = true;
}

}  // namespace orv
