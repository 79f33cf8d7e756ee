#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Application/Document.h>
#include <Core/Application/Documents.h>
#include <Core/Application/Preferences.h>
#include <Core/Application/Product.h>
#include <Core/Application/Viewport.h>
#include <Core/UserInterface/UserInterface.h>

namespace adsk::core {
class Document;
class Documents;
class Preferences;
class Product;
class UserInterface;
class Viewport;
}  // namespace adsk::core

namespace adsk::core {

class Application : public Base {
    ADSK_HOST_CLASS("adsk::core::Application", Base)
  public:
    // The one application of this process; null only when the host program says so.
    static Ptr<Application> get();

    Ptr<UserInterface> userInterface() const;
    Ptr<Documents> documents() const;
    Ptr<Document> activeDocument() const;
    Ptr<Product> activeProduct() const;
    Ptr<Viewport> activeViewport() const;
    Ptr<Preferences> preferences() const;
    std::string version() const { return detail::takeText(version_raw()); }

    char* version_raw() const;

  private:
    Application() = default;
};

}  // namespace adsk::core
