#include "addin/ExportFlow.h"

#include <map>
#include <string>

#include "convert/ConversionFailure.h"
#include "scene/LightFileFactory.h"
#include "scene/LightModule.h"
#include "scene/OrvGroup.h"

using adsk::core::Ptr;

namespace {

// Design length units per metre by unit text, compared whole and case-sensitive.
bool unitsPerMetreOf(const std::string& unit, float& unitsPerMetre) {
    static const std::map<std::string, float> table{
        {"in", 39.37008f}, {"m", 1.0f}, {"cm", 100.0f}, {"mm", 1000.0f}, {"ft", 3.28084f}};
    const auto found = table.find(unit);
    if (found == table.end()) return false;
    unitsPerMetre = found->second;
    return true;
}

}  // namespace

float computeUnitScale(DesignConverter& converter, Ptr<adsk::core::Document> document) {
    converter.unitsPerMetre = 1.0f;
    required(document);
    Ptr<adsk::core::Products> products = required(document->products());
    const std::size_t count = products->count();
    for (std::size_t i = 0; i < count; ++i) {
        Ptr<adsk::core::Product> product = products->item(i);
        if (!product) continue;
        Ptr<adsk::fusion::Design> design = product;
        if (!design) continue;
        Ptr<adsk::core::UnitsManager> units = required(design->unitsManager());
        unitsPerMetreOf(units->defaultLengthUnits(), converter.unitsPerMetre);
    }
    return converter.unitsPerMetre;
}

void exportDocument(DesignConverter& converter, Ptr<adsk::core::Document> document) {
    Ptr<adsk::core::FileDialog> dialog = required(converter.userInterface)->createFileDialog();
    required(dialog);
    dialog->filter("Quorell scene (*.bip)");
    dialog->filterIndex(0);
    dialog->initialDirectory("%CSIDL_MYDOCUMENTS%");
    required(document);
    // A document that was never saved has no version text and no useful name.
    dialog->initialFilename(document->version().empty() ? std::string("Untitled.bip")
                                                        : document->name());
    if (dialog->showSave() != adsk::core::DialogOK) return;
    const std::string path = dialog->filename();
    if (path.empty()) return;

    // Throws before anything of the converter changes when the file cannot be created.
    orv::LightFileFactory factory(path);
    converter.wrapper = std::make_unique<orv::orvSceneapi_oo>(factory);

    // The export sends everything but must not disturb the next live update.
    std::map<std::string, ComponentSignature> savedSignatures = converter.previousSignatures;
    converter.previousSignatures.clear();

    // From here on the writer indents and writes arrays as text.
    converter.wrapper->api()->setFlags(1);

    converter.unitsPerMetre = computeUnitScale(converter, document);
    converter.unitsPerCentimetre = converter.unitsPerMetre / 100.0f;

    orv::DefaultRTModule options;
    options.setUpVector(1);
    options.setMeterScale(converter.unitsPerMetre);
    options.setAdjustCamera(true);
    options.setCenterGeometry(true);
    options.setSnapToGround(true);
    options.setKeepOriginal(true);
    converter.wrapper->writeNode(options);

    std::shared_ptr<orv::OrvGroup> root = converter.convertDocument(document);
    converter.wrapper->writeNode(*root);

    converter.previousSignatures = std::move(savedSignatures);
}
