// Turns a host document into the scene graph: one group for the document, one per
// occurrence (nested, with its placement), one per body with a sub-group per
// appearance. Keeps a change signature per component between conversions so that
// a live update can leave out the bodies of unchanged components.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "convert/ComponentSignature.h"
#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "importers/sceneapi/orvSceneapi_oo.h"

namespace orv {
class OrvGroup;
class TriangleObject;
}  // namespace orv

// Group flag words handed to the renderer.
namespace groupflags {
constexpr uint32_t componentUnchanged = 0x0001;
constexpr uint32_t componentChanged = 0x8001;
constexpr uint32_t emptyBody = 0x8401;
constexpr uint32_t bodyWithAppearances = 0x0400;
constexpr uint32_t appearanceGroup = 0x10000;
}  // namespace groupflags

class DesignConverter {
  public:
    DesignConverter(adsk::core::Ptr<adsk::core::Application> application,
                    adsk::core::Ptr<adsk::core::UserInterface> userInterface);
    ~DesignConverter();
    DesignConverter(const DesignConverter&) = delete;
    DesignConverter& operator=(const DesignConverter&) = delete;

    // The root group, named after the document key. Afterwards previousSignatures
    // holds what this conversion wrote.
    std::shared_ptr<orv::OrvGroup> convertDocument(adsk::core::Ptr<adsk::core::Document> document);

    // Sets unitsPerMetre from the default length unit of the document's designs
    // (the last design with a known unit decides; none: 1) and unitsPerCentimetre
    // to a hundredth of it. Returns unitsPerMetre.
    float computeUnitScale(adsk::core::Ptr<adsk::core::Document> document);

    // The next conversion treats every component as new.
    void forgetSignatures() { previousSignatures.clear(); }

    // For a conversion that must treat every component as new without
    // disturbing the next live update (an export): sets the signatures aside
    // and puts them back when the scope ends normally. When an exception ends
    // it they stay empty, so the next update sends everything.
    class SignaturesSetAside {
      public:
        explicit SignaturesSetAside(DesignConverter& converter);
        ~SignaturesSetAside();
        SignaturesSetAside(const SignaturesSetAside&) = delete;
        SignaturesSetAside& operator=(const SignaturesSetAside&) = delete;

      private:
        DesignConverter& converter;
        std::map<std::string, ComponentSignature> saved;
        int exceptionsAtStart;
    };

    // One component as seen through one occurrence (or as the design's root).
    std::shared_ptr<orv::OrvGroup> convertComponent(
        adsk::core::Ptr<adsk::fusion::Component> component,
        adsk::core::Ptr<adsk::core::Appearance> appearanceOverride, bool visible);

    ComponentSignature makeSignature(adsk::core::Ptr<adsk::fusion::Component> component,
                                     adsk::core::Ptr<adsk::core::Appearance> appearanceOverride,
                                     bool visible);

    static bool signaturesDiffer(const ComponentSignature& a, const ComponentSignature& b) {
        return ::signaturesDiffer(a, b);
    }

    std::shared_ptr<orv::OrvGroup> convertBody(
        adsk::core::Ptr<adsk::fusion::BRepBody> body,
        adsk::core::Ptr<adsk::core::Appearance> appearanceOverride, bool visible);

    // Copies the host's display mesh into a triangle object, scaled to design units.
    std::shared_ptr<orv::TriangleObject> convertMesh(
        adsk::core::Ptr<adsk::fusion::TriangleMesh> mesh);

    // Output of the running command; the command flows replace it.
    std::unique_ptr<orv::orvSceneapi_oo> wrapper;
    adsk::core::Ptr<adsk::core::Application> application;
    adsk::core::Ptr<adsk::core::UserInterface> userInterface;
    // Keyed by component name: components of the same name share one entry.
    std::map<std::string, ComponentSignature> previousSignatures;
    std::map<std::string, ComponentSignature> currentSignatures;
    float unitsPerMetre = 1.0f;
    // Host lengths are centimetres; this brings them into design units.
    float unitsPerCentimetre = 100.0f;

    // Components nested deeper than this end the conversion with an error.
    static constexpr int kMaxNesting = 1000;

  private:
    int nesting = 0;  // components being converted, outermost first
};
