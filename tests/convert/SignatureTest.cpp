// Change signatures: what they record, which differences count, and how they
// drive the flags of the next conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "ConvertFixtures.h"

using namespace fixtures;

namespace {

ComponentSignature sample() {
    ComponentSignature s;
    s.visible = true;
    s.area = 12.5;
    s.volume = 3.25;
    s.appearanceSummary = "2xA 1xB ";
    s.bodies = {{"Base", true, true, {1, 2, 3}}, {"Lid", false, false, {}}};
    s.childComponents = {"Arm", "Head"};
    return s;
}

// The body marks as (name, visible, first vertex or nothing) for comparison.
std::vector<std::tuple<std::string, bool, std::vector<float>>> marks(const ComponentSignature& s) {
    std::vector<std::tuple<std::string, bool, std::vector<float>>> out;
    for (const BodyMark& m : s.bodies) {
        out.emplace_back(m.name, m.visible,
                         m.hasFirstVertex ? std::vector<float>(m.firstVertex.begin(), m.firstVertex.end())
                                          : std::vector<float>{});
    }
    return out;
}

// The flags of the root component group after converting `data`.
uint32_t rootFlags(DesignConverter& converter, const host::DocumentData& data) {
    auto root = converter.convertDocument(host::buildDocument(data));
    return group(root->getChildren()[0])->getFlags();
}

host::DocumentData part() {
    return document({component("Part",
                               {body("Base", "A", {face(std::nullopt, {1, 2, 3}), face("B")}),
                                body("Lid", std::nullopt, {face("B")})},
                               {occurrence("Knob")}),
                     component("Knob")},
                    {appearance("A"), appearance("B")});
}

host::ComponentData& partComponent(host::DocumentData& d) {
    return d.products[0].design->components[0];
}

}  // namespace

TEST(SignaturesDiffer, EveryFieldCounts) {
    // Differences that no edit of ChangeDetection.EachEditOfAComponentMarksItChanged makes.
    const std::vector<std::pair<const char*, std::function<void(ComponentSignature&)>>> changes{
        {"summary length", [](auto& s) { s.appearanceSummary += " "; }},
        {"visible", [](auto& s) { s.visible = false; }},
        {"body added", [](auto& s) { s.bodies.push_back({"New", true, false, {}}); }},
        {"first vertex moved to another body",
         [](auto& s) {
             s.bodies[1].hasFirstVertex = true;
             s.bodies[1].firstVertex = s.bodies[0].firstVertex;
             s.bodies[0].hasFirstVertex = false;
         }},
        {"first vertex gone", [](auto& s) { s.bodies[0].hasFirstVertex = false; }},
        {"child renamed", [](auto& s) { s.childComponents = {"Arm", "Hood"}; }},
    };
    const ComponentSignature base = sample();
    EXPECT_FALSE(signaturesDiffer(base, sample()));
    for (const auto& [what, change] : changes) {
        ComponentSignature changed = sample();
        change(changed);
        EXPECT_TRUE(signaturesDiffer(base, changed)) << what;
        EXPECT_TRUE(signaturesDiffer(changed, base)) << what;
    }
}

TEST(SignaturesDiffer, NotANumberAlwaysDiffers) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ComponentSignature a = sample();
    a.area = nan;
    EXPECT_TRUE(signaturesDiffer(a, a));
    ComponentSignature b = sample();
    b.volume = nan;
    EXPECT_TRUE(signaturesDiffer(b, b));
    EXPECT_TRUE(signaturesDiffer(sample(), b));
}

TEST(MakeSignature, RecordsTheComponentAsVisited) {
    auto doc = host::buildDocument(part());
    auto converter = makeConverter(10.0f);
    auto override = rootOf(doc)->bRepBodies()->item(1)->faces()->item(0)->appearance();  // "B"
    ComponentSignature s = converter->makeSignature(rootOf(doc), override, false);
    EXPECT_FALSE(s.visible);
    EXPECT_EQ(s.area, 10.0);
    EXPECT_EQ(s.volume, 2.0);
    // Base: its face without own appearance takes the body's A; Lid's face has B.
    EXPECT_EQ(s.appearanceSummary, "1xA 1xB 1xB ");
    // Host units, before any scaling.
    EXPECT_EQ(marks(s), (decltype(marks(s)){{"Base", true, {1, 2, 3}}, {"Lid", true, {0, 0, 0}}}));
    EXPECT_EQ(s.childComponents, std::vector<std::string>{"Knob"});
}

TEST(MakeSignature, CountsFacesPerAppearanceInOrderOfFirstUse) {
    auto data =
        document({component("Part", {body("Shell", std::nullopt,
                                          {face("Z"), face(), face("A"), face("Z"), face()})})},
                 {appearance("A"), appearance("Z")});
    auto doc = host::buildDocument(data);
    auto converter = makeConverter();
    // Faces without any appearance are not counted.
    EXPECT_EQ(converter->makeSignature(rootOf(doc), nullptr, true).appearanceSummary, "2xZ 1xA ");
}

TEST(MakeSignature, FirstVertexNeedsAFaceAMeshAndThreeCoordinates) {
    host::FaceData noMeshes;
    host::FaceData shortMesh;
    shortMesh.meshes.push_back({{1, 2}, {}, {}, {}});
    auto data = document({component(
        "Part", {body("NoFaces", std::nullopt, {}), body("NoMeshes", std::nullopt, {noMeshes}),
                 body("Short", std::nullopt, {shortMesh})})});
    auto doc = host::buildDocument(data);
    auto converter = makeConverter();
    auto s = converter->makeSignature(rootOf(doc), nullptr, true);
    EXPECT_EQ(marks(s), (decltype(marks(s)){
                            {"NoFaces", true, {}}, {"NoMeshes", true, {}}, {"Short", true, {}}}));
}

TEST(MakeSignature, BodiesOfOneNameShareOneMark) {
    // The later body sets the visibility, and the first vertex only when it has one.
    auto data = document({component("Part", {body("Twin", std::nullopt, {face(std::nullopt, {1, 2, 3})}),
                                             body("Solo", std::nullopt, {}),
                                             body("Twin", std::nullopt, {})},
                                     {occurrence("B"), occurrence("A"), occurrence("B")}),
                          component("A"), component("B")});
    data.products[0].design->components[0].bodies[2].visible = false;
    auto doc = host::buildDocument(data);
    auto s = makeConverter()->makeSignature(rootOf(doc), nullptr, true);
    EXPECT_EQ(marks(s), (decltype(marks(s)){{"Solo", true, {}}, {"Twin", false, {1, 2, 3}}}));
    EXPECT_EQ(s.childComponents, (std::vector<std::string>{"A", "B"}));
}

TEST(ChangeDetection, EachEditOfAComponentMarksItChanged) {
    const std::vector<std::pair<const char*, std::function<void(host::DocumentData&)>>> edits{
        {"body renamed", [](auto& d) { partComponent(d).bodies[1].name = "Cap"; }},
        {"body hidden", [](auto& d) { partComponent(d).bodies[1].visible = false; }},
        {"face appearance", [](auto& d) { partComponent(d).bodies[0].faces[1].appearance = "A"; }},
        {"first vertex moved",
         [](auto& d) { partComponent(d).bodies[0].faces[0].meshes[0].coordinates[0] = 1.5f; }},
        {"area", [](auto& d) { partComponent(d).physical->area = 11; }},
        {"volume", [](auto& d) { partComponent(d).physical->volume = 2.5; }},
        {"child", [](auto& d) { partComponent(d).occurrences.clear(); }},
    };
    for (const auto& [what, edit] : edits) {
        auto converter = makeConverter();
        EXPECT_EQ(rootFlags(*converter, part()), 0x8001u) << what;
        EXPECT_EQ(rootFlags(*converter, part()), 0x0001u) << what;
        auto edited = part();
        edit(edited);
        EXPECT_EQ(rootFlags(*converter, edited), 0x8001u) << what;
    }
}

TEST(ChangeDetection, ComponentsAreKeyedByNameOnly) {
    // Two different components named "Leg": the later visit overwrites the entry.
    auto data = document({component("Root", {}, {occurrence("LegA"), occurrence("LegB")}),
                          component("LegA", {body("Short", "A", {face()})}),
                          component("LegB", {body("Long", "A", {face()})})},
                         {appearance("A")});
    auto& components = data.products[0].design->components;
    components[1].name = "Leg";
    components[2].name = "Leg";
    auto converter = makeConverter();
    auto doc = host::buildDocument(data);
    converter->convertDocument(doc);
    ASSERT_EQ(converter->currentSignatures.count("Leg"), 1u);
    ASSERT_EQ(converter->currentSignatures.at("Leg").bodies.size(), 1u);
    EXPECT_EQ(converter->currentSignatures.at("Leg").bodies[0].name, "Long");
    // The second conversion compares both with LegB's entry: LegA differs, LegB does not.
    auto root = group(converter->convertDocument(doc)->getChildren()[0]);
    EXPECT_EQ(group(root->getChildren()[0])->getFlags(), 0x8001u);
    EXPECT_EQ(group(root->getChildren()[1])->getFlags(), 0x0001u);
}
