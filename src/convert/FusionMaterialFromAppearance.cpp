// The constructor of orv::FusionMaterial that reads a host appearance. It lives
// with the converter because it is the only scene code that needs the host.
#include <cstring>
#include <string>

#include "convert/ConversionFailure.h"
#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "scene/Material.h"

namespace {

// The colour properties that feed the diffuse colour; the last one in property order wins.
bool isDiffuseColorId(const std::string& id) {
    return id == "opaque_albedo" || id == "metal_f0" || id == "metal_color" ||
           id == "generic_diffuse";
}

// The last file name found in the texture's properties, or the text unchanged.
void takeTexturePath(const adsk::core::Ptr<adsk::core::AppearanceTexture>& texture,
                     std::string& path) {
    adsk::core::Ptr<adsk::core::Properties> properties = required(texture->properties());
    const int count = static_cast<int>(properties->count());
    for (int i = 0; i < count; ++i) {
        adsk::core::Ptr<adsk::core::Property> property = required(properties->item(i));
        if (std::strcmp(property->objectType(), adsk::core::FilenameProperty::classType()) != 0)
            continue;
        adsk::core::Ptr<adsk::core::FilenameProperty> file =
            required(property->cast<adsk::core::FilenameProperty>());
        path = file->value();
    }
}

}  // namespace

namespace orv {

FusionMaterial::FusionMaterial(adsk::core::Ptr<adsk::core::Appearance> appearance)
    : FusionMaterial() {
    if (!appearance) return;
    setName(appearance->name());

    adsk::core::Ptr<adsk::core::Properties> properties =
        required(appearance->appearanceProperties());
    const int count = static_cast<int>(properties->count());
    for (int i = 0; i < count; ++i) {
        adsk::core::Ptr<adsk::core::Property> property = required(properties->item(i));
        const std::string id = property->id();
        adsk::core::Ptr<adsk::core::ColorProperty> colorProperty =
            property->cast<adsk::core::ColorProperty>();
        if (!colorProperty) continue;

        // An image connected to any colour property becomes the texture.
        if (adsk::core::Ptr<adsk::core::AppearanceTexture> texture =
                colorProperty->connectedTexture()) {
            std::string path = getTexture();
            takeTexturePath(texture, path);
            setTexture(path);
        }

        if (adsk::core::Ptr<adsk::core::Color> value = colorProperty->value()) {
            short red = 255, green = 255, blue = 255, opacity = 255;
            value->getColor(red, green, blue, opacity);
            if (isDiffuseColorId(id)) {
                setColor(red / 255.0f, green / 255.0f, blue / 255.0f);
            }
        }
    }
}

}  // namespace orv
