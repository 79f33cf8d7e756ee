#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Application/DataFile.h>
#include <Core/Application/Products.h>

namespace adsk::core {
class DataFile;
class Products;
}  // namespace adsk::core

namespace adsk::core {

class Document : public Base {
    ADSK_HOST_CLASS("adsk::core::Document", Base)
  public:
    std::string name() const { return detail::takeText(name_raw()); }
    bool name(const std::string& text);
    bool isSaved() const { return saved_; }
    bool isModified() const { return false; }
    bool isActive() const;
    bool activate();
    // Empty for a document that has never been saved.
    std::string version() const { return detail::takeText(version_raw()); }
    std::string creationId() const { return detail::takeText(creationId_raw()); }
    // Null until the document is saved.
    Ptr<DataFile> dataFile() const { return dataFile_; }
    Ptr<Products> products() const { return products_; }

    char* name_raw() const;
    char* version_raw() const;
    char* creationId_raw() const;

  private:
    Document() = default;
    std::string name_;
    bool saved_ = true;
    std::string version_;
    std::string creationId_;
    Ptr<DataFile> dataFile_;
    Ptr<Products> products_;
};

}  // namespace adsk::core
