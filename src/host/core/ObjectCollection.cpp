#include <Core/Application/ObjectCollection.h>

#include "host/model/ModelAccess.h"

namespace adsk::core {

Ptr<ObjectCollection> ObjectCollection::create() {
    return host::ModelAccess::make<ObjectCollection>();
}

Ptr<Base> ObjectCollection::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

bool ObjectCollection::add(const Ptr<Base>& item) {
    if (!item) return false;
    items_.push_back(item);
    return true;
}

int ObjectCollection::find(const Ptr<Base>& item, size_t startIndex) const {
    for (size_t i = startIndex; item && i < items_.size(); ++i)
        if (items_[i] == item) return int(i);
    return -1;
}

bool ObjectCollection::removeByIndex(size_t index) {
    if (index >= items_.size()) return false;
    items_.erase(items_.begin() + std::ptrdiff_t(index));
    return true;
}

bool ObjectCollection::removeByItem(const Ptr<Base>& item) {
    const int index = find(item);
    return index >= 0 && removeByIndex(size_t(index));
}

bool ObjectCollection::clear() {
    items_.clear();
    return true;
}

}  // namespace adsk::core
