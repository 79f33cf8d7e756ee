#include "DemoScene.h"

#include <string>

#include "DemoMeshes.h"
#include "scene/Material.h"

namespace demo {

namespace {

// Column-major translation: elements 12, 13, 14.
void place(orv::OrvGroup& group, double x, double y, double z) {
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    group.setTransform(m);
}

}  // namespace

std::shared_ptr<orv::DefaultRTModule> makeModule() {
    auto module = std::make_shared<orv::DefaultRTModule>();
    module->setUpVector(1);
    module->setMeterScale(1000.0f);
    module->setAdjustCamera(true);
    module->setCenterGeometry(true);
    module->setSnapToGround(true);
    module->setKeepOriginal(true);
    return module;
}

std::shared_ptr<orv::OrvGroup> makeScene() {
    auto root = std::make_shared<orv::OrvGroup>("Demo Room");

    // One appearance shared by every part of the table, as the export shares
    // one material node per appearance of a body.
    auto oak = std::make_shared<orv::FusionMaterial>();
    oak->setName("Oak - Natural");
    oak->setColor(0.76f, 0.6f, 0.42f);
    oak->setTexture("textures/oak_natural.png");

    auto table = root->addGroup("Table:1");
    place(*table, 0, 0, 0);
    auto top = table->addGroup("Top");
    place(*top, 0, 735, 0);
    auto topMesh = makeBox("Top_mesh", 1200, 30, 800);
    topMesh->setMaterial(oak);
    top->addNode(topMesh);

    const double legX = 560, legZ = 360;
    const double corners[4][2] = {{-legX, -legZ}, {legX, -legZ}, {legX, legZ}, {-legX, legZ}};
    for (int i = 0; i < 4; ++i) {
        auto leg = table->addGroup("Leg:" + std::to_string(i + 1));
        place(*leg, corners[i][0], 360, corners[i][1]);
        auto legMesh = makeBox("Leg_mesh", 50, 720, 50);
        legMesh->setMaterial(oak);
        leg->addNode(legMesh);
    }

    auto vase = root->addGroup("Vase:1");
    place(*vase, 250, 750 + 90, 100);
    vase->setFlags(1);
    auto ceramic = std::make_shared<orv::Diffuse>("Ceramic - Blue");
    ceramic->setColor(0.2f, 0.35f, 0.7f);
    auto vaseMesh = makeSphere("Vase_mesh", 90, 12, 24);
    vaseMesh->setMaterial(ceramic);
    vase->addNode(vaseMesh);

    // A body without an appearance keeps the plain default material.
    auto floor = root->addGroup("Floor");
    floor->addNode(makeBox("Floor_mesh", 4000, 10, 4000));
    return root;
}

std::shared_ptr<orv::LightCamera> makeCamera() {
    auto camera = std::make_shared<orv::LightCamera>("Active Camera");
    camera->setPosition(1800, 1500, 2400);
    camera->setDirection(-0.55f, -0.3f, -0.78f);
    camera->setUp(0, 1, 0);
    camera->setProjection(orv::LightCamera::perspective);
    camera->setFov(40);
    return camera;
}

}  // namespace demo
