#pragma once

#include <Core/Base.h>
#include <Core/Application/Document.h>
#include <Core/Application/Product.h>
#include <Core/Materials/Appearances.h>
#include <Fusion/Components/Component.h>
#include <Fusion/Components/Components.h>
#include <Fusion/Fusion/FusionUnitsManager.h>

namespace adsk::core {
class Appearances;
class Document;
class Product;
}  // namespace adsk::core

namespace adsk::fusion {
class Component;
class Components;
class FusionUnitsManager;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class Design : public core::Product {
    ADSK_HOST_CLASS("adsk::fusion::Design", core::Product)
  public:
    Ptr<Component> rootComponent() const { return root_; }
    Ptr<Components> allComponents() const { return components_; }
    Ptr<core::Appearances> appearances() const { return appearances_; }
    Ptr<FusionUnitsManager> fusionUnitsManager() const { return unitsManager(); }

    // The document that holds the design.
    Ptr<core::Document> parentDocument() const;

  private:
    Design() : Product("DesignProductType") {}
    Ptr<Component> root_;
    Ptr<Components> components_;
    Ptr<core::Appearances> appearances_;
    const core::Document* document_ = nullptr;  // the document owns its products
};

}  // namespace adsk::fusion
