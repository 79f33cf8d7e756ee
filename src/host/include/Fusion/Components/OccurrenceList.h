#pragma once
// A read-only list of occurrences, as other calls return them.

#include <vector>

#include <Core/Base.h>
#include <Fusion/Components/Occurrence.h>

namespace adsk::fusion {

class Occurrence;

using adsk::core::Base;
using adsk::core::Ptr;

class OccurrenceList : public Base {
    ADSK_HOST_CLASS("adsk::fusion::OccurrenceList", Base)
  public:
    size_t count() const { return items_.size(); }
    // Null past the end.
    Ptr<Occurrence> item(size_t index) const;

  private:
    OccurrenceList() = default;
    std::vector<Ptr<Occurrence>> items_;
};

}  // namespace adsk::fusion
