#pragma once

#include <Core/Base.h>
#include <Core/Application/Document.h>

namespace adsk::core {
class Document;
}  // namespace adsk::core

namespace adsk::core {

class Documents : public Base {
    ADSK_HOST_CLASS("adsk::core::Documents", Base)
  public:
    size_t count() const;
    Ptr<Document> item(size_t index) const;
};

}  // namespace adsk::core
