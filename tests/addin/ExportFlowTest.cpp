// The export flow: dialog, file, import options, signatures kept for the live link.

#include "AddinFixture.h"
#include "addin/ExportFlow.h"
#include "host/DesignBuilder.h"
#include "scene/OrvGroup.h"

using adsk::core::Ptr;

namespace {

DesignConverter makeConverter() {
    auto app = adsk::core::Application::get();
    return DesignConverter(app, app->userInterface());
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(AddinTest, DialogAsksForABipFileNamedAfterTheDocumentAndCancelChangesNothing) {
    auto converter = makeConverter();
    converter.previousSignatures["Kept"].area = 1;
    host::cancelNextFileDialog();
    exportDocument(converter, host::openDocument(bracket()));
    EXPECT_FALSE(converter.wrapper);
    EXPECT_TRUE(converter.currentSignatures.empty());
    EXPECT_EQ(converter.previousSignatures.size(), 1u);
    EXPECT_EQ(converter.unitsPerMetre, 1.0f);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    auto unsaved = bracket();
    unsaved.saved = false;
    unsaved.version = "";
    host::cancelNextFileDialog();
    exportDocument(converter, host::openDocument(unsaved));

    const auto& dialogs = host::shownFileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    for (const auto& d : dialogs) {
        EXPECT_TRUE(d.save);
        EXPECT_EQ(d.settings.filter, "Quorell scene (*.bip)");
        EXPECT_EQ(d.settings.filterIndex, 0);
        EXPECT_FALSE(d.settings.multiSelect);
        EXPECT_EQ(d.settings.initialDirectory, "%CSIDL_MYDOCUMENTS%");
    }
    EXPECT_EQ(dialogs[0].settings.initialFilename, "Bracket v2");
    EXPECT_EQ(dialogs[1].settings.initialFilename, "Untitled.bip");
}

TEST_F(AddinTest, ExportKeepsThePreviousSignatures) {
    auto converter = makeConverter();
    auto doc = host::openDocument(bracket());
    converter.convertDocument(doc);
    const auto beforeExport = converter.previousSignatures;
    ASSERT_EQ(beforeExport.count("Bracket"), 1u);
    converter.previousSignatures["Other"].area = 5;

    host::answerNextFileDialog((dir / "a.bip").string());
    exportDocument(converter, doc);
    EXPECT_EQ(converter.previousSignatures.size(), 2u);
    EXPECT_EQ(converter.previousSignatures.count("Other"), 1u);
    // Everything was sent although nothing changed since the last conversion.
    EXPECT_TRUE(contains(readFile(dir / "a.bip"), "flags 32769\n"));
    // The next conversion still compares against the state before the export.
    auto root = converter.convertDocument(doc);
    EXPECT_EQ(std::dynamic_pointer_cast<orv::OrvGroup>(root->getChildren()[0])->getFlags(), 1u);
}

TEST_F(AddinTest, UnwritableFileLeavesTheConverterUnchanged) {
    auto converter = makeConverter();
    auto doc = host::openDocument(bracket("in"));
    host::answerNextFileDialog((dir / "first.bip").string());
    exportDocument(converter, doc);
    orv::orvSceneapi_oo* wrapper = converter.wrapper.get();
    converter.previousSignatures["Other"] = {};
    const auto previous = converter.previousSignatures;
    const auto current = converter.currentSignatures.size();
    converter.unitsPerMetre = 7;

    host::answerNextFileDialog((dir / "missing" / "second.bip").string());
    EXPECT_THROW(exportDocument(converter, doc), std::runtime_error);
    EXPECT_EQ(converter.wrapper.get(), wrapper);
    EXPECT_EQ(converter.previousSignatures.size(), previous.size());
    EXPECT_EQ(converter.currentSignatures.size(), current);
    EXPECT_EQ(converter.unitsPerMetre, 7.0f);
}

TEST_F(AddinTest, FailedConversionLeavesPreviousSignaturesEmpty) {
    auto broken = bracket();
    broken.products[0].design->components[0].physical.reset();
    auto converter = makeConverter();
    converter.previousSignatures["Kept"] = {};
    host::answerNextFileDialog((dir / "broken.bip").string());
    EXPECT_THROW(exportDocument(converter, host::openDocument(broken)), std::exception);
    EXPECT_TRUE(converter.previousSignatures.empty());
    // The file is closed with what was written before the failure.
    EXPECT_TRUE(contains(readFile(dir / "broken.bip"), "load \"orvrtopt.so\""));
}

TEST_F(AddinTest, UnitScaleForEveryUnitText) {
    const std::vector<std::pair<std::string, float>> units{
        {"in", 39.37008f}, {"m", 1.0f},  {"cm", 100.0f}, {"mm", 1000.0f}, {"ft", 3.28084f},
        {"inch", 1.0f},    {"\"", 1.0f}, {"MM", 1.0f},   {"mm ", 1.0f},   {"", 1.0f}};
    auto converter = makeConverter();
    for (const auto& [unit, expected] : units) {
        converter.unitsPerMetre = 42;
        EXPECT_EQ(converter.computeUnitScale(host::openDocument(bracket(unit))), expected) << unit;
        EXPECT_EQ(converter.unitsPerMetre, expected) << unit;
    }
}

TEST_F(AddinTest, UnitScaleTakesTheLastDesignWithAKnownUnit) {
    auto doc = bracket("mm");
    doc.products.push_back(host::ProductData{std::nullopt, "CAMProductType"});
    auto second = bracket("cm").products[0];
    doc.products.push_back(second);
    auto converter = makeConverter();
    EXPECT_EQ(converter.computeUnitScale(host::openDocument(doc)), 100.0f);
    doc.products.back().design->units = "furlong";
    EXPECT_EQ(converter.computeUnitScale(host::openDocument(doc)), 1000.0f);
    EXPECT_THROW(converter.computeUnitScale(nullptr), std::exception);
}
