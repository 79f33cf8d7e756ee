// "Export to Quorell .bip": asks for a file and writes the document as a scene file.
#pragma once

#include "convert/DesignConverter.h"

void exportDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document);

// Design length units per metre, from the default length unit of the document's
// designs (the last design with a known unit decides). Stored in the converter.
float computeUnitScale(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document);
