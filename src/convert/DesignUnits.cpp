// The design's length unit and the signatures kept across an export.
#include <exception>
#include <map>
#include <string>

#include "convert/ConversionFailure.h"
#include "convert/DesignConverter.h"

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

float DesignConverter::computeUnitScale(Ptr<adsk::core::Document> document) {
    unitsPerMetre = 1.0f;
    required(document);
    Ptr<adsk::core::Products> products = required(document->products());
    const std::size_t count = products->count();
    for (std::size_t i = 0; i < count; ++i) {
        Ptr<adsk::core::Product> product = products->item(i);
        if (!product) continue;
        Ptr<adsk::fusion::Design> design = product;
        if (!design) continue;
        Ptr<adsk::core::UnitsManager> units = required(design->unitsManager());
        unitsPerMetreOf(units->defaultLengthUnits(), unitsPerMetre);
    }
    unitsPerCentimetre = unitsPerMetre / 100.0f;
    return unitsPerMetre;
}

DesignConverter::SignaturesSetAside::SignaturesSetAside(DesignConverter& converter)
    : converter(converter),
      saved(std::move(converter.previousSignatures)),
      exceptionsAtStart(std::uncaught_exceptions()) {
    converter.previousSignatures.clear();
}

DesignConverter::SignaturesSetAside::~SignaturesSetAside() {
    if (std::uncaught_exceptions() == exceptionsAtStart)
        converter.previousSignatures = std::move(saved);
}
