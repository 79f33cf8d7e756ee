#include "addin/ExportFlow.h"

#include <string>

#include "convert/ConversionFailure.h"
#include "scene/LightFileFactory.h"
#include "scene/LightModule.h"
#include "scene/OrvGroup.h"

using adsk::core::Ptr;

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
    DesignConverter::SignaturesSetAside keepForNextUpdate(converter);

    // From here on the writer indents and writes arrays as text.
    converter.wrapper->api()->setFlags(1);

    converter.computeUnitScale(document);

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

    // Closing explicitly, so that a file the system could not finish (a full disk) is reported.
    factory.close();
}
