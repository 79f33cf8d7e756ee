#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Fusion/Components/Occurrence.h>
#include <Fusion/Components/OccurrenceList.h>

namespace adsk::fusion {
class Occurrence;
class OccurrenceList;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class Occurrences : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Occurrences", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Occurrence> item(size_t index) const;
    Ptr<Occurrence> itemByName(const std::string& name) const;

    // The same occurrences as a list.
    Ptr<OccurrenceList> asList() const;

  private:
    Occurrences() = default;
    std::vector<Ptr<Occurrence>> items_;
};

}  // namespace adsk::fusion
