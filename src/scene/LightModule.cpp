#include "scene/LightModule.h"

#include "importers/sceneapi/orvSceneapi_oo.h"

namespace orv {

LightModule::LightModule(std::string name) : name(std::move(name)) {}

void LightModule::write(orvSceneapi_oo& oo) {
    oo.api()->beginLoad(name.c_str());
    writeOptions(oo);
    oo.api()->endLoad();
}

void LightModule::define(orvSceneapi_oo&) {}

bool LightModule::isDefined() const {
    return false;
}

DefaultRTModule::DefaultRTModule() : LightModule("orvrtopt.so") {}

void DefaultRTModule::writeOptions(orvSceneapi_oo& oo) {
    oo.setBool("import_mode", mode);
    oo.setBool("import_merge_groups", mergeGroups);
    oo.setBool("import_merge_objects", mergeObjects);
    oo.setInt("import_up_vector", static_cast<int32_t>(upVector));
    oo.setFloat("meter_scale", meterScale);
    oo.setBool("import_keep_original", keepOriginal);
    oo.setBool("import_center_geometry", centerGeometry);
    oo.setBool("import_snap_to_ground", snapToGround);
    oo.setBool("import_adjust_camera", adjustCamera);
    oo.setBool("import_adjust_environment", adjustEnvironment);
    if (!useCamera.empty()) oo.setString("import_use_camera", useCamera);
    oo.setBool("ext", ext);
}

}  // namespace orv
