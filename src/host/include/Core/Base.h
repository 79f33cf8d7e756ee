#pragma once
// Root of every host object: intrusive reference count, class names and casts.

#include <cstring>

#include <Core/Memory.h>

namespace host {
class ModelAccess;  // the stand-in's own code that fills and drives the model
}

namespace adsk::core {

class Base {
  public:
    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;
    virtual ~Base();

    static const char* classType() { return "adsk::core::Base"; }
    virtual const char* objectType() const { return classType(); }
    virtual bool isValid() const { return true; }

    void addref() const { ++refs_; }
    void release() const {
        if (--refs_ == 0) delete this;
    }
    int refcount() const { return refs_; }

    // The object as a T, or null when T is not in its class chain.
    template <class T>
    Ptr<T> cast() const;

    // Walks the class chain from the dynamic class up to Base.
    virtual bool isKindOf(const char* type) const { return std::strcmp(type, classType()) == 0; }

  private:
    mutable int refs_ = 1;  // the creator's reference
};

template <class T>
Ptr<T> Base::cast() const {
    if (!isKindOf(T::classType())) return nullptr;
    return Ptr<T>(static_cast<const T*>(this), false);
}

}  // namespace adsk::core

// Class-name plumbing of a host class: its own name for classType/objectType and
// its link in the class chain that cast<T>() walks.
#define ADSK_HOST_CLASS(Name, Parent)                                  \
  public:                                                              \
    static const char* classType() {                                   \
        return Name;                                                   \
    }                                                                  \
    const char* objectType() const override {                          \
        return Name;                                                   \
    }                                                                  \
    bool isKindOf(const char* type) const override {                   \
        return std::strcmp(type, Name) == 0 || Parent::isKindOf(type); \
    }                                                                  \
                                                                       \
  private:                                                             \
    friend class ::host::ModelAccess;
