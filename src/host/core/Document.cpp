#include <Core/CoreAll.h>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"

namespace adsk::core {

using host::detail::hostText;

char* UnitsManager::defaultLengthUnits_raw() const {
    return hostText(lengthUnits_);
}
char* Product::productType_raw() const {
    return hostText(type_);
}

Ptr<Product> Products::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Product> Products::itemByProductType(const std::string& type) const {
    for (const auto& p : items_)
        if (p && p->productType() == type) return p;
    return nullptr;
}

char* DataFile::name_raw() const {
    return hostText(name_);
}
char* DataFile::id_raw() const {
    return hostText(id_);
}

char* Document::name_raw() const {
    return hostText(name_);
}
char* Document::version_raw() const {
    return hostText(version_);
}
char* Document::creationId_raw() const {
    return hostText(creationId_);
}

bool Document::name(const std::string& text) {
    name_ = text;
    return true;
}

bool Document::isActive() const {
    return host::detail::appState().activeDocument.get() == this;
}

bool Document::activate() {
    host::activateDocument(Ptr<Document>(this, false));
    return true;
}

size_t Documents::count() const {
    return host::detail::appState().documents.size();
}

Ptr<Document> Documents::item(size_t index) const {
    const auto& documents = host::detail::appState().documents;
    return index < documents.size() ? documents[index] : nullptr;
}

}  // namespace adsk::core
