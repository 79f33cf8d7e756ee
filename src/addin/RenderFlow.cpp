#include "addin/RenderFlow.h"

#include "convert/ConversionFailure.h"

// The live link is not part of this build yet: say so instead of failing silently.
void renderDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document) {
    required(document);
    required(converter.userInterface)
        ->messageBox("The live link to Quorell is not available in this build yet. "
                     "Use \"Export to Quorell .bip\" instead.",
                     "", adsk::core::OKButtonType, adsk::core::NoIconIconType);
}
