#pragma once

#include <string>

#include <Core/Base.h>

namespace adsk::core {

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

}  // namespace adsk::core
