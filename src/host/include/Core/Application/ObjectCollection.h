#pragma once
// A list of host objects of any kind, made by the add-in to hand several objects
// to one call.

#include <vector>

#include <Core/Base.h>

namespace adsk::core {

class ObjectCollection : public Base {
    ADSK_HOST_CLASS("adsk::core::ObjectCollection", Base)
  public:
    // An empty collection.
    static Ptr<ObjectCollection> create();

    size_t count() const { return items_.size(); }
    // Null past the end.
    Ptr<Base> item(size_t index) const;
    // Appends; the same object may be added more than once. False for null.
    bool add(const Ptr<Base>& item);
    // The index of the first occurrence at or after startIndex, or -1.
    int find(const Ptr<Base>& item, size_t startIndex = 0) const;
    bool contains(const Ptr<Base>& item) const { return find(item) >= 0; }
    bool removeByIndex(size_t index);
    // Removes the first occurrence; false when the object is not in the collection.
    bool removeByItem(const Ptr<Base>& item);
    bool clear();

  private:
    ObjectCollection() = default;
    std::vector<Ptr<Base>> items_;
};

}  // namespace adsk::core
