// Design traversal across conversions and its failures. What one conversion
// writes (group tree, placements, bodies, materials) is pinned by the golden
// designs of tests/data/designs.
#include <gtest/gtest.h>

#include "ConvertFixtures.h"
#include "convert/DocumentKey.h"

using namespace fixtures;

namespace {

// Root "Lamp" with bodies Base, Stand and the occurrences Arm (visible) and
// Cable (hidden).
host::DocumentData lamp() {
    auto root = component("Lamp", {body("Base", "A", {face()}), body("Stand", "A", {face()})},
                          {occurrence("Arm"), occurrence("Cable", false)});
    root.occurrences[0].transform =
        host::Transform{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0, 1};
    root.occurrences[1].transform = host::translation(1, 2, 3);
    return document({root, component("Arm", {body("Tube", "A", {face()})}),
                     component("Cable", {body("Cord", "A", {face()})})},
                    {appearance("A")}, "Lamp v12");
}

}  // namespace

TEST(DocumentKey, CutsTheVersionSuffixOnly) {
    const std::pair<const char*, const char*> rows[] = {{"Desk Lamp v3", "Desk Lamp"},
                                                        {"Desk Lamp v123", "Desk Lamp"},
                                                        {"Bracket 12", "Bracket"},
                                                        {"Desk Lamp", "Desk Lamp"},
                                                        {"Lamp v", "Lamp v"},
                                                        {"Lamp v3a", "Lamp v3a"},
                                                        {"Lamp v3 final", "Lamp v3 final"},
                                                        {"v3", "v3"},
                                                        {"Lamp  v3", "Lamp "},
                                                        {"", ""}};
    for (const auto& [name, key] : rows) EXPECT_EQ(documentKey(name), key) << name;
}

TEST(Traversal, NestingBeyondTheLimitEndsWithAnErrorNamingTheComponent) {
    // C0 places C1, C1 places C2, ...: one level more than the converter takes.
    std::vector<host::ComponentData> chain;
    for (int i = 0; i <= DesignConverter::kMaxNesting; ++i) {
        chain.push_back(component("C" + std::to_string(i)));
        if (i > 0) chain[i - 1].occurrences.push_back(occurrence("C" + std::to_string(i)));
    }
    auto converter = makeConverter();
    try {
        converter->convertDocument(host::buildDocument(document(chain)));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("(at component \"C1000\")"), std::string::npos)
            << e.what();
    }
    chain.pop_back();
    chain.back().occurrences.clear();
    EXPECT_NO_THROW(converter->convertDocument(host::buildDocument(document(chain))));
}

TEST(Traversal, DocumentWithoutDesignGivesEmptyRootAndCopiesSignatures) {
    host::DocumentData data;
    data.name = "Notes";
    data.products.push_back(host::ProductData{std::nullopt, "CAMProductType"});
    auto converter = makeConverter();
    converter->currentSignatures["Old"].area = 4;
    auto root = converter->convertDocument(host::buildDocument(data));
    EXPECT_TRUE(root->getChildren().empty());
    ASSERT_EQ(converter->previousSignatures.size(), 1u);
    EXPECT_EQ(converter->previousSignatures.count("Old"), 1u);
}

TEST(Traversal, HiddenOccurrenceShownAgainIsChangedWithItsBodies) {
    auto converter = makeConverter();
    auto data = lamp();
    converter->convertDocument(host::buildDocument(data));
    data.products[0].design->components[0].occurrences[1].visible = true;
    auto root = converter->convertDocument(host::buildDocument(data));
    auto cable = group(group(root->getChildren()[0])->getChildren()[1]);
    EXPECT_EQ(cable->getFlags(), 0x8001u);
    EXPECT_EQ(childNames(*cable), std::vector<std::string>{"Cord"});
}

TEST(Traversal, UnchangedDesignSendsNoBodiesUntilThePreviousSignaturesAreEmptied) {
    auto converter = makeConverter();
    auto doc = host::buildDocument(lamp());
    converter->convertDocument(doc);
    auto lampGroup = group(converter->convertDocument(doc)->getChildren()[0]);
    EXPECT_EQ(lampGroup->getFlags(), 0x0001u);
    // Occurrence groups and their transforms are there again, bodies are not.
    EXPECT_EQ(childNames(*lampGroup), (std::vector<std::string>{"Arm", "Cable"}));
    auto arm = group(lampGroup->getChildren()[0]);
    EXPECT_EQ(arm->getFlags(), 0x0001u);
    EXPECT_TRUE(arm->transformed());
    EXPECT_TRUE(arm->getChildren().empty());
    EXPECT_EQ(converter->previousSignatures.size(), 3u);

    converter->previousSignatures.clear();
    lampGroup = group(converter->convertDocument(doc)->getChildren()[0]);
    EXPECT_EQ(lampGroup->getFlags(), 0x8001u);
    EXPECT_EQ(group(lampGroup->getChildren()[0])->getFlags(), 0x8001u);
    EXPECT_EQ(lampGroup->getChildren().size(), 4u);
}

TEST(Traversal, MissingHostObjectsEndTheConversion) {
    auto noTransform = lamp();
    noTransform.products[0].design->components[0].occurrences[0].transform.reset();
    auto noPhysical = lamp();
    noPhysical.products[0].design->components[1].physical.reset();
    for (const auto& data : {noTransform, noPhysical}) {
        auto converter = makeConverter();
        converter->previousSignatures["Kept"] = {};
        EXPECT_THROW(converter->convertDocument(host::buildDocument(data)), std::exception);
        // A failed conversion does not replace the previous signatures.
        EXPECT_EQ(converter->previousSignatures.size(), 1u);
    }
    auto converter = makeConverter();
    // A face without any appearance may only stand alone in its body.
    for (const auto& faces : std::vector<std::vector<host::FaceData>>{
             {face(), face("A")}, {face("A"), face()}, {face(), face()}}) {
        auto data = document({component("Part", {body("Mixed", std::nullopt, faces)})},
                             {appearance("A")});
        EXPECT_THROW(converter->convertDocument(host::buildDocument(data)), std::exception);
    }
    auto noMeshManager = document({component("Part", {body("B", "A", {face()})})}, {appearance("A")});
    noMeshManager.products[0].design->components[0].bodies[0].faces[0].hasMeshManager = false;
    EXPECT_THROW(converter->convertDocument(host::buildDocument(noMeshManager)), std::exception);
    EXPECT_THROW(converter->convertDocument(nullptr), std::exception);
    EXPECT_THROW(converter->convertComponent(nullptr, nullptr, true), std::exception);
    EXPECT_THROW(converter->convertBody(nullptr, nullptr, true), std::exception);
    EXPECT_THROW(converter->convertMesh(nullptr), std::exception);
}
