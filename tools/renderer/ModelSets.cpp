#include "ModelSets.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "importers/sceneapi/orvScene_api_file.h"
#include "livelib/AtomicFile.h"

namespace renderer {

bool isUnchangedComponent(const GroupNode& group) {
    if (!group.flags) return false;
    const uint32_t f = *group.flags;
    return (f & kFlagComponent) && !(f & (kFlagChanged | kFlagBody | kFlagAppearance));
}

bool isBodyGroup(const GroupNode& group) {
    return group.flags && (*group.flags & kFlagBody);
}

namespace {

// The groups of one level by place: name and order among same-named siblings.
using LevelIndex = std::map<std::pair<std::string, int>, GroupNode*>;

LevelIndex indexLevel(std::vector<SceneItem>& items) {
    LevelIndex index;
    std::map<std::string, int> seen;
    for (SceneItem& item : items)
        if (item.group)
            index.emplace(std::pair(item.group->name, seen[item.group->name]++), item.group.get());
    return index;
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // XML 1.0 has no form for most control characters.
                out += (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ? '?' : char(c);
        }
    }
    return out;
}

size_t countGroups(const std::vector<SceneItem>& items) {
    size_t n = 0;
    std::vector<const std::vector<SceneItem>*> pending{&items};
    while (!pending.empty()) {
        const std::vector<SceneItem>* level = pending.back();
        pending.pop_back();
        for (const SceneItem& item : *level)
            if (item.group) ++n, pending.push_back(&item.group->items);
    }
    return n;
}

}  // namespace

void keepUnchangedBodies(SceneRecording& incoming, SceneRecording& previous) {
    // Walks both trees side by side, one level at a time: the first count
    // items of an incoming level (those that arrived with this transfer)
    // against the groups that stood at the same place before. Each level of
    // the past is indexed before any of its body groups is moved away.
    struct Level {
        std::vector<SceneItem>* items;
        size_t count;
        LevelIndex previous;
    };
    std::vector<Level> pending;
    pending.push_back({&incoming.items, incoming.items.size(), indexLevel(previous.items)});
    while (!pending.empty()) {
        Level level = std::move(pending.back());
        pending.pop_back();
        std::map<std::string, int> seen;
        for (size_t i = 0; i < level.count && i < level.items->size(); ++i) {
            if (!(*level.items)[i].group) continue;
            GroupNode& g = *(*level.items)[i].group;
            const auto it = level.previous.find(std::pair(g.name, seen[g.name]++));
            GroupNode* before = it == level.previous.end() ? nullptr : it->second;
            const size_t arrived = g.items.size();
            LevelIndex below = before ? indexLevel(before->items) : LevelIndex{};
            if (before && isUnchangedComponent(g)) {
                for (SceneItem& old : before->items)
                    if (old.group && isBodyGroup(*old.group)) g.items.push_back(std::move(old));
            }
            // The kept bodies are taken whole; only what arrived is matched further.
            pending.push_back({&g.items, arrived, std::move(below)});
        }
    }
}

std::string ModelSets::store(SceneRecording scene) {
    if (!scene.hasRoot) return {};
    const std::string name = scene.rootName;
    auto it = sets_.find(name);
    if (it != sets_.end()) {
        keepUnchangedBodies(scene, it->second);
        it->second = std::move(scene);
    } else {
        sets_.emplace(name, std::move(scene));
    }
    return name;
}

const SceneRecording* ModelSets::find(const std::string& name) const {
    auto it = sets_.find(name);
    return it == sets_.end() ? nullptr : &it->second;
}

std::string ModelSets::descriptionXml() const {
    std::ostringstream xml;
    xml << "<scene>\n  <modelsets>\n";
    for (const auto& [name, scene] : sets_) {
        xml << "    <modelset name=\"" << xmlEscape(name) << "\" modelset=\"active\">"
            << "<group name=\"" << xmlEscape(name) << "\" groups=\"" << countGroups(scene.items)
            << "\"/>"
            << "</modelset>\n";
    }
    xml << "  </modelsets>\n</scene>\n";
    return xml.str();
}

std::string sceneFileName(const std::string& modelSet) {
    std::string name;
    for (unsigned char c : modelSet)
        name += (c < 0x20 || c == '/' || c == '\\' || c == 0x7f) ? '_' : char(c);
    if (name.empty() || name[0] == '.') name.insert(name.begin(), '_');
    return name + ".bip";
}

void writeSceneHeader(orvScene_api& api) {
    api.writeText("%s", "//---vantor:dal:7---\n");
    api.writeText("%s", "//---import:dal:1---\n");
    api.writeText("%s", "//---id:1---\n");
    api.writeText("%s", "// This is a Quorell scene file\n\n");
}

bool writeSceneFile(const SceneRecording& scene, const std::string& path, std::string* error) {
    return livelink::writeFileAtomically(
        path,
        [&](FILE* file) {
            orvScene_api_file writer(file, false);
            writeSceneHeader(writer);
            writer.setFlags(1);
            replay(scene, writer);
            return true;
        },
        error);
}

}  // namespace renderer
