// The material made from a host appearance: name, diffuse colour, texture.
#include <gtest/gtest.h>

#include "ConvertFixtures.h"

using namespace fixtures;

namespace {

// The appearance of the only face of a one-body design.
adsk::core::Ptr<adsk::core::Appearance> built(host::AppearanceData a) {
    static adsk::core::Ptr<adsk::core::Document> keep;
    const std::string id = a.id;
    keep = host::buildDocument(document({component("P", {body("B", id, {face()})})}, {a}));
    return rootOf(keep)->bRepBodies()->item(0)->appearance();
}

host::PropertyData texturedWith(std::string colorId, std::vector<std::string> files) {
    host::PropertyData p;
    p.kind = host::PropertyKind::Color;
    p.id = std::move(colorId);
    p.hasTexture = true;
    p.textureProperties.push_back(host::floatProperty("texture_scale", 1.0));
    for (auto& f : files) p.textureProperties.push_back(host::filenameProperty("bitmap", f));
    return p;
}

}  // namespace

TEST(FusionMaterialFromAppearance, NoAppearanceIsGenericWhite) {
    orv::FusionMaterial m(adsk::core::Ptr<adsk::core::Appearance>{});
    EXPECT_EQ(m.getName(), "Generic material");
    EXPECT_EQ(m.getColor(), (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(m.getTexture(), "");
}

TEST(FusionMaterialFromAppearance, ColourFromAlbedoDividedBy255) {
    orv::FusionMaterial m(built({"P1",
                                 "Paint (Orange)",
                                 {host::floatProperty("surface_roughness", 0.2),
                                  host::colorProperty("opaque_albedo", 255, 128, 0, 10)}}));
    EXPECT_EQ(m.getName(), "Paint (Orange)");
    EXPECT_FLOAT_EQ(m.getColor()[0], 1.0f);
    EXPECT_FLOAT_EQ(m.getColor()[1], 128 / 255.0f);
    EXPECT_FLOAT_EQ(m.getColor()[2], 0.0f);
    EXPECT_EQ(m.getTexture(), "");
}

TEST(FusionMaterialFromAppearance, LastKnownColourPropertyWins) {
    orv::FusionMaterial metal(built({"M",
                                     "Metal",
                                     {host::colorProperty("metal_color", 51, 51, 51),
                                      host::colorProperty("metal_f0", 102, 102, 102),
                                      host::colorProperty("glass_color", 255, 0, 0)}}));
    EXPECT_FLOAT_EQ(metal.getColor()[0], 0.4f);
    orv::FusionMaterial generic(built({"G",
                                       "Generic",
                                       {host::colorProperty("generic_diffuse", 0, 255, 0),
                                        host::colorProperty("Opaque_albedo", 255, 0, 0),
                                        host::colorProperty("opaque_albedo_", 255, 0, 0)}}));
    EXPECT_EQ(generic.getColor(), (std::array<float, 3>{0, 1, 0}));
}

TEST(FusionMaterialFromAppearance, TextureFromAnyColourPropertyLastFileWins) {
    orv::FusionMaterial m(built({"T",
                                 "Oak",
                                 {texturedWith("opaque_albedo", {"/t/first.png"}),
                                  texturedWith("bump_map", {"/t/a.png", "/t/b.png"})}}));
    // The texture-driven colour has no value and the bump colour's id is not a
    // diffuse id.
    EXPECT_EQ(m.getColor(), (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(m.getTexture(), "/t/b.png");
}
