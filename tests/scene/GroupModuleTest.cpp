// Groups, the import-option module, and the nodes whose define writes nothing.
#include <gtest/gtest.h>

#include <string>

#include "scene/LightCamera.h"
#include "scene/LightModule.h"
#include "scene/MemoryScene.h"
#include "scene/OrvGroup.h"

namespace orv {
namespace {

TEST(OrvGroup, EmptyGroupWritesOnlyItsBlockAndIgnoresNullNodes) {
    test::MemoryScene scene;
    OrvGroup group("g");
    group.setFlags(3);
    group.setFlags(0);
    group.addNode(nullptr);
    group.addChild(nullptr);
    EXPECT_TRUE(group.getNodes().empty() && group.getChildren().empty());
    scene.oo.writeNode(group);
    EXPECT_EQ(scene.text(), "\ngroup \"g\" {\n}\n");
}

TEST(OrvGroup, FlagsAndTransformThenOwnNodesBeforeChildGroups) {
    test::MemoryScene scene;
    OrvGroup root("root");
    auto child = root.addGroup("child");  // added before the node on purpose
    child->addNode(std::make_shared<OrvGroup>("inner"));
    root.addNode(std::make_shared<OrvGroup>("own"));
    root.addChild(std::make_shared<OrvGroup>("last"));
    root.setFlags(8);
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    root.setTransform(m);
    scene.oo.writeNode(root);
    EXPECT_EQ(scene.text(),
              "\ngroup \"root\" {\n flags 8\n transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
              "\n group \"own\" {\n }\n"
              "\n group \"child\" {\n"
              "\n  group \"inner\" {\n  }\n }\n"
              "\n group \"last\" {\n }\n"
              "}\n");
}

// The module block with the given lines between the fixed leading and trailing options.
std::string moduleText(const std::string& options) {
    return "load \"orvrtopt.so\" {\n \"import_mode\" on,\n \"import_merge_groups\" on,\n"
           " \"import_merge_objects\" on,\n" +
           options + " \"ext\" on,\n}\n";
}

const std::string defaultOptions =
    " \"import_up_vector\" 0,\n \"meter_scale\" 1,\n \"import_keep_original\" off,\n"
    " \"import_center_geometry\" on,\n \"import_snap_to_ground\" off,\n"
    " \"import_adjust_camera\" on,\n"
    " \"import_adjust_environment\" on,\n";

TEST(DefaultRTModule, OptionsInOrderAndTheCameraNameOnlyWhenNotEmpty) {
    DefaultRTModule module;
    test::MemoryScene defaults;
    defaults.oo.writeNode(module);
    EXPECT_EQ(defaults.text(), moduleText(defaultOptions));

    module.setUpVector(1);
    module.setMeterScale(39.37008f);
    module.setKeepOriginal(true);
    module.setCenterGeometry(false);
    module.setSnapToGround(true);
    module.setAdjustCamera(false);
    module.setAdjustEnvironment(false);
    module.setUseCamera("Active Camera");
    test::MemoryScene changed;
    changed.oo.writeNode(module);
    EXPECT_EQ(changed.text(), moduleText(" \"import_up_vector\" 1,\n"
                                         " \"meter_scale\" 39.3701,\n"
                                         " \"import_keep_original\" on,\n"
                                         " \"import_center_geometry\" off,\n"
                                         " \"import_snap_to_ground\" on,\n"
                                         " \"import_adjust_camera\" off,\n"
                                         " \"import_adjust_environment\" off,\n"
                                         " \"import_use_camera\" \"Active Camera\",\n"));

    // An empty camera name drops the option again.
    DefaultRTModule cleared;
    cleared.setUseCamera("Active Camera");
    cleared.setUseCamera("");
    test::MemoryScene again;
    again.oo.writeNode(cleared);
    EXPECT_EQ(again.text(), moduleText(defaultOptions));
}

TEST(LightNode, DefineWritesNothingForGroupModuleAndCamera) {
    test::MemoryScene scene;
    OrvGroup group("g");
    DefaultRTModule module;
    LightCamera camera("c");
    for (LightNode* node : std::initializer_list<LightNode*>{&group, &module, &camera}) {
        node->define(scene.oo);
        EXPECT_FALSE(node->isDefined());
    }
    EXPECT_EQ(scene.text(), "");
}

}  // namespace
}  // namespace orv
