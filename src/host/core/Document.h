#pragma once
// Documents, their data files and the products (designs and others) they hold.

#include <string>
#include <vector>

#include "host/core/Base.h"

namespace adsk::core {

class UnitsManager : public Base {
    ADSK_HOST_CLASS("adsk::core::UnitsManager", Base)
  public:
    // "mm", "cm", "m", "in", "ft" or whatever the design reports.
    std::string defaultLengthUnits() const { return detail::takeText(defaultLengthUnits_raw()); }
    std::string internalUnits() const { return "cm"; }

    char* defaultLengthUnits_raw() const;

  protected:
    explicit UnitsManager(std::string lengthUnits) : lengthUnits_(std::move(lengthUnits)) {}

  private:
    std::string lengthUnits_;
};

class Product : public Base {
    ADSK_HOST_CLASS("adsk::core::Product", Base)
  public:
    std::string productType() const { return detail::takeText(productType_raw()); }
    Ptr<UnitsManager> unitsManager() const { return unitsManager_; }

    char* productType_raw() const;

  protected:
    explicit Product(std::string type) : type_(std::move(type)) {}
    Ptr<UnitsManager> unitsManager_;

  private:
    std::string type_;
};

class Products : public Base {
    ADSK_HOST_CLASS("adsk::core::Products", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Product> item(size_t index) const;
    Ptr<Product> itemByProductType(const std::string& type) const;

  private:
    Products() = default;
    std::vector<Ptr<Product>> items_;
};

// The saved file behind a document.
class DataFile : public Base {
    ADSK_HOST_CLASS("adsk::core::DataFile", Base)
  public:
    std::string name() const { return detail::takeText(name_raw()); }
    std::string id() const { return detail::takeText(id_raw()); }
    int versionNumber() const { return versionNumber_; }

    char* name_raw() const;
    char* id_raw() const;

  private:
    DataFile() = default;
    std::string name_;
    std::string id_;
    int versionNumber_ = 0;
};

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

class Documents : public Base {
    ADSK_HOST_CLASS("adsk::core::Documents", Base)
  public:
    size_t count() const;
    Ptr<Document> item(size_t index) const;
};

}  // namespace adsk::core
