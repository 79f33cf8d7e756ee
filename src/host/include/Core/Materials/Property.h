#pragma once

#include <string>

#include <Core/Base.h>

namespace adsk::core {

// A property of an appearance or texture. Plain properties (neither colour nor
// file name) are instances of this class itself.
class Property : public Base {
    ADSK_HOST_CLASS("adsk::core::Property", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    bool isReadOnly() const { return false; }

    char* id_raw() const;
    char* name_raw() const;

  protected:
    Property(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}

  private:
    std::string id_;
    std::string name_;
};

}  // namespace adsk::core
