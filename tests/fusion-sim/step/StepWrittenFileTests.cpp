// Assemblies written by OpenCASCADE's own STEP writer with known placements,
// in inches and in millimetres, read back through the loader.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_Controller.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <cmath>
#include <fstream>
#include <gp_Quaternion.hxx>
#include <gp_Trsf.hxx>
#include <iterator>

#include "StepTestSupport.h"
#include "step/IsolatedLoad.h"

namespace {

using namespace steploader;

// A 1 × 2 × 3 box part placed twice: at (1, 2, 3), and turned a quarter about z
// at (4, 0, 0); the second instance is hidden and coloured. Lengths are in
// the file's unit `stepUnit` of `unitInMm` millimetres, and so is the document,
// so that the writer converts nothing.
std::string writeAssembly(const std::string& name, double unitInMm, const char* stepUnit) {
    Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) document;
    application->NewDocument("MDTV-XCAF", document);
    XCAFDoc_DocumentTool::SetLengthUnit(document, unitInMm, UnitsMethods_LengthUnit_Millimeter);
    const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
    const Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(document->Main());

    const TDF_Label part = shapes->AddShape(BRepPrimAPI_MakeBox(1.0, 2.0, 3.0).Shape(), false);
    TDataStd_Name::Set(part, "block");
    const TDF_Label assembly = shapes->NewShape();
    TDataStd_Name::Set(assembly, "pair");
    gp_Trsf moved;
    moved.SetTranslation(gp_Vec(1, 2, 3));
    const TDF_Label first = shapes->AddComponent(assembly, part, TopLoc_Location(moved));
    TDataStd_Name::Set(first, "left");
    gp_Trsf turned;
    turned.SetRotation(gp_Quaternion(gp_Vec(0, 0, 1), M_PI / 2));
    turned.SetTranslationPart(gp_Vec(4, 0, 0));
    const TDF_Label second = shapes->AddComponent(assembly, part, TopLoc_Location(turned));
    TDataStd_Name::Set(second, "right");
    colours->SetColor(second, Quantity_Color(1.0, 0.8, 0.0, Quantity_TOC_sRGB), XCAFDoc_ColorSurf);
    colours->SetVisibility(second, false);
    shapes->UpdateAssemblies();

    STEPControl_Controller::Init();  // defines the parameters set here
    Interface_Static::SetCVal("write.step.unit", stepUnit);
    Interface_Static::SetCVal("xstep.cascade.unit", stepUnit);
    STEPCAFControl_Writer writer;
    const std::string path = steptest::temporaryFolder() + "/" + name;
    if (!writer.Transfer(document) || writer.Write(path.c_str()) != IFSelect_RetDone) {
        ADD_FAILURE() << "cannot write " << path;
    }
    application->Close(document);
    std::ifstream written(path);
    const std::string text{std::istreambuf_iterator<char>(written), {}};
    EXPECT_NE(text.find(std::string(stepUnit) == "INCH" ? "'INCH'" : ".MILLI.,.METRE."),
              std::string::npos)
        << path << " is not written in " << stepUnit;
    return path;
}

void expectPlacements(const Design& design, double cmPerUnit) {
    const Component& root = design.components[design.root];
    EXPECT_EQ(root.name, "pair");
    ASSERT_EQ(root.occurrences.size(), 2u);
    const Occurrence& left = root.occurrences[0];
    const Occurrence& right = root.occurrences[1];
    EXPECT_EQ(left.name, "left");
    EXPECT_EQ(right.name, "right");
    EXPECT_EQ(left.component, right.component);
    EXPECT_TRUE(left.visible);
    EXPECT_FALSE(right.visible);
    EXPECT_EQ(left.appearance, kNoAppearance);
    ASSERT_NE(right.appearance, kNoAppearance);
    EXPECT_EQ(design.appearances[right.appearance].colour, (Colour{255, 204, 0}));
    EXPECT_NEAR(left.transform[3], 1 * cmPerUnit, 1e-9);
    EXPECT_NEAR(left.transform[7], 2 * cmPerUnit, 1e-9);
    EXPECT_NEAR(left.transform[11], 3 * cmPerUnit, 1e-9);
    EXPECT_NEAR(left.transform[0], 1.0, 1e-12);
    // A quarter turn about z: x goes to y.
    EXPECT_NEAR(right.transform[0], 0.0, 1e-12);
    EXPECT_NEAR(right.transform[4], 1.0, 1e-12);
    EXPECT_NEAR(right.transform[1], -1.0, 1e-12);
    EXPECT_NEAR(right.transform[3], 4 * cmPerUnit, 1e-9);

    const Component& block = design.components[left.component];
    EXPECT_EQ(block.name, "block");
    ASSERT_EQ(block.bodies.size(), 1u);
    const double volume = 6 * cmPerUnit * cmPerUnit * cmPerUnit;
    EXPECT_NEAR(block.bodies[0].volume, volume, 1e-6 * volume);
    EXPECT_NEAR(block.bodies[0].area, 22 * cmPerUnit * cmPerUnit, 1e-6 * volume);
    EXPECT_NEAR(design.components[design.root].volume, 2 * volume, 1e-6 * volume);
}

TEST(StepWrittenFiles, PlacementsOfAnInchAssemblyAreInCentimetres) {
    const Design design = loadStepDesign(writeAssembly("pair-inch.stp", 25.4, "INCH"));
    EXPECT_EQ(design.units, "in");
    expectPlacements(design, 2.54);
}

TEST(StepWrittenFiles, PlacementsOfAMillimetreAssemblyAreInCentimetres) {
    const Design design = loadStepDesign(writeAssembly("pair-mm.stp", 1.0, "MM"));
    EXPECT_EQ(design.units, "mm");
    EXPECT_EQ(design.documentName, "pair-mm");
    expectPlacements(design, 0.1);
}

}  // namespace
