// "Render in Quorell": hands the active document to a running renderer.
#pragma once

#include "convert/DesignConverter.h"

void renderDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document);
