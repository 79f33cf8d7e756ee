// "Export to Quorell .bip": asks for a file and writes the document as a scene file.
#pragma once

#include "convert/DesignConverter.h"

void exportDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document);

