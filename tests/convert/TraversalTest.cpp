// Design traversal: groups per document, occurrence and body; placement; hidden
// occurrences; change flags across conversions.
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

TEST(Traversal, RootGroupHoldsOneGroupPerDesignNamedByKey) {
    auto data = lamp();
    data.products.insert(data.products.begin(), host::ProductData{std::nullopt, "CAMProductType"});
    auto converter = makeConverter();
    auto root = converter->convertDocument(host::buildDocument(data));
    EXPECT_EQ(root->getName(), "Lamp");
    EXPECT_EQ(root->getFlags(), 0u);
    EXPECT_FALSE(root->transformed());
    ASSERT_EQ(root->getChildren().size(), 1u);
    EXPECT_EQ(group(root->getChildren()[0])->getName(), "Lamp");
    EXPECT_TRUE(root->getNodes().empty());
}

TEST(Traversal, DocumentWithoutDesignGivesEmptyRootAndCopiesSignatures) {
    host::DocumentData data;
    data.name = "Notes";
    data.products.push_back(host::ProductData{std::nullopt, "CAMProductType"});
    auto converter = makeConverter();
    converter->currentSignatures["Old"].measure1 = 4;
    auto root = converter->convertDocument(host::buildDocument(data));
    EXPECT_TRUE(root->getChildren().empty());
    ASSERT_EQ(converter->previousSignatures.size(), 1u);
    EXPECT_EQ(converter->previousSignatures.count("Old"), 1u);
}

TEST(Traversal, OccurrenceGroupsBeforeBodyGroupsPlacedColumnMajorWithScaledTranslation) {
    auto converter = makeConverter(10.0f);
    auto root = converter->convertDocument(host::buildDocument(lamp()));
    auto lampGroup = group(root->getChildren()[0]);
    EXPECT_EQ(childNames(*lampGroup), (std::vector<std::string>{"Arm", "Cable", "Base", "Stand"}));
    EXPECT_EQ(lampGroup->getFlags(), 0x8001u);
    EXPECT_FALSE(lampGroup->transformed());

    auto arm = group(lampGroup->getChildren()[0]);
    ASSERT_TRUE(arm->transformed());
    const std::array<double, 16> expected{1, 5, 9, 0, 2, 6, 10, 0, 3, 7, 11, 0, 40, 80, 120, 1};
    EXPECT_EQ(arm->getTransform(), expected);

    // A hidden occurrence keeps its transform but has no children.
    auto cable = group(lampGroup->getChildren()[1]);
    EXPECT_EQ(cable->getFlags(), 0x8001u);
    ASSERT_TRUE(cable->transformed());
    EXPECT_DOUBLE_EQ(cable->getTransform()[12], 10);
    EXPECT_DOUBLE_EQ(cable->getTransform()[14], 30);
    EXPECT_TRUE(cable->getChildren().empty());
    EXPECT_TRUE(cable->getNodes().empty());
    // The signature still records the hidden visit.
    EXPECT_FALSE(converter->currentSignatures.at("Cable").visible);
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

TEST(Traversal, ComponentVisitedTwiceIsComparedWithThePreviousConversion) {
    // Two occurrences of one component: the second visit of the first conversion
    // must not count as unchanged because the first visit just wrote its
    // signature.
    auto data = document({component("Root", {}, {occurrence("Leg"), occurrence("Leg")}),
                          component("Leg", {body("Foot", "A", {face()})})},
                         {appearance("A")});
    auto converter = makeConverter();
    auto root = converter->convertDocument(host::buildDocument(data));
    auto rootGroup = group(root->getChildren()[0]);
    ASSERT_EQ(rootGroup->getChildren().size(), 2u);
    for (const auto& leg : rootGroup->getChildren()) {
        EXPECT_EQ(group(leg)->getFlags(), 0x8001u);
        EXPECT_EQ(childNames(*group(leg)), std::vector<std::string>{"Foot"});
    }
}

TEST(Traversal, OverrideAppliesToTheOccurrenceOnlyNotFurtherDown) {
    auto data =
        document({component("Root", {}, {occurrence("Mid", true, "R")}),
                  component("Mid", {body("MidBody", std::nullopt, {face()})}, {occurrence("Leaf")}),
                  component("Leaf", {body("LeafBody", std::nullopt, {face()})})},
                 {appearance("R")});
    auto converter = makeConverter();
    auto root = converter->convertDocument(host::buildDocument(data));
    auto mid = group(group(root->getChildren()[0])->getChildren()[0]);
    EXPECT_EQ(materialNames(*group(mid->getChildren()[1])),
              std::vector<std::string>{"Appearance R"});
    auto leaf = group(mid->getChildren()[0]);
    EXPECT_EQ(materialNames(*group(leaf->getChildren()[0])),
              std::vector<std::string>{"Generic material"});
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
    EXPECT_THROW(converter->convertDocument(nullptr), std::exception);
    EXPECT_THROW(converter->convertComponent(nullptr, nullptr, true), std::exception);
    EXPECT_THROW(converter->convertBody(nullptr, nullptr, true), std::exception);
    EXPECT_THROW(converter->convertMesh(nullptr), std::exception);
}
