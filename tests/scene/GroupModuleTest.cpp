// Groups, the import-option module, and the nodes whose define writes nothing.
#include <gtest/gtest.h>

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightCamera.h"
#include "scene/LightModule.h"
#include "scene/OrvGroup.h"
#include "scene/RecordingSceneApi.h"

namespace orv {
namespace {

using Calls = std::vector<std::string>;

struct Recorded {
    test::RecordingFactory factory;
    orvSceneapi_oo oo{factory};
    Calls written() {
        // Only what the nodes wrote, not the wrapper's opening lines.
        Calls all = factory.recorder.calls;
        return Calls(all.begin() + 2, all.end());
    }
};

TEST(OrvGroup, EmptyGroupWritesOnlyItsBlock) {
    Recorded r;
    OrvGroup group("g");
    r.oo.writeNode(group);
    EXPECT_EQ(r.written(), (Calls{"beginGroup g", "endGroup"}));
}

TEST(OrvGroup, OwnNodesPrecedeChildGroupsWithFlagsAndTransformFirst) {
    Recorded r;
    auto root = std::make_shared<OrvGroup>("root");
    auto child = root->addGroup("child");  // added before the node on purpose
    child->addNode(std::make_shared<OrvGroup>("grandchild-node"));
    root->addNode(std::make_shared<OrvGroup>("own"));
    root->addChild(std::make_shared<OrvGroup>("second-child"));
    root->setFlags(8);
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    root->setTransform(m);
    r.oo.writeNode(*root);
    EXPECT_EQ(r.written(),
              (Calls{"beginGroup root", "flags 8", "transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1",
                     "beginGroup own", "endGroup", "beginGroup child", "beginGroup grandchild-node",
                     "endGroup", "endGroup", "beginGroup second-child", "endGroup", "endGroup"}));
}

TEST(OrvGroup, ZeroFlagsWriteNoFlagsLineAndNullNodesAreIgnored) {
    Recorded r;
    OrvGroup group("g");
    group.setFlags(3);
    group.setFlags(0);
    group.addNode(nullptr);
    group.addChild(nullptr);
    EXPECT_TRUE(group.getNodes().empty());
    EXPECT_TRUE(group.getChildren().empty());
    r.oo.writeNode(group);
    EXPECT_EQ(r.written(), (Calls{"beginGroup g", "endGroup"}));
}

const Calls defaultOptions = {"beginLoad orvrtopt.so",
                              "import_mode on",
                              "import_merge_groups on",
                              "import_merge_objects on",
                              "import_up_vector i 0",
                              "meter_scale f 1",
                              "import_keep_original off",
                              "import_center_geometry on",
                              "import_snap_to_ground off",
                              "import_adjust_camera on",
                              "import_adjust_environment on",
                              "ext on",
                              "endLoad"};

TEST(DefaultRTModule, DefaultOptionsInOrderWithoutCamera) {
    Recorded r;
    DefaultRTModule module;
    r.oo.writeNode(module);
    EXPECT_EQ(r.written(), defaultOptions);
}

TEST(DefaultRTModule, SettersAndCameraNameBeforeExt) {
    Recorded r;
    DefaultRTModule module;
    module.setUpVector(1);
    module.setMeterScale(1000.0f);
    module.setKeepOriginal(true);
    module.setCenterGeometry(false);
    module.setSnapToGround(true);
    module.setAdjustCamera(false);
    module.setAdjustEnvironment(false);
    module.setUseCamera("Active Camera");
    r.oo.writeNode(module);
    EXPECT_EQ(
        r.written(),
        (Calls{"beginLoad orvrtopt.so", "import_mode on", "import_merge_groups on",
               "import_merge_objects on", "import_up_vector i 1", "meter_scale f 1000",
               "import_keep_original on", "import_center_geometry off", "import_snap_to_ground on",
               "import_adjust_camera off", "import_adjust_environment off",
               "import_use_camera s Active Camera", "ext on", "endLoad"}));

    // Clearing the camera name drops the option again.
    module.setUseCamera("");
    Recorded again;
    again.oo.writeNode(module);
    EXPECT_EQ(again.written().size(), defaultOptions.size());
}

TEST(LightNode, DefineWritesNothingForGroupModuleAndCamera) {
    Recorded r;
    OrvGroup group("g");
    DefaultRTModule module;
    LightCamera camera("c");
    for (LightNode* node : std::initializer_list<LightNode*>{&group, &module, &camera}) {
        node->define(r.oo);
        EXPECT_FALSE(node->isDefined());
    }
    EXPECT_TRUE(r.written().empty());
}

}  // namespace
}  // namespace orv
