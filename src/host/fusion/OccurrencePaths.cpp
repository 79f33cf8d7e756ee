// Occurrences seen through other occurrences (the host's proxies): the lists that
// walk an assembly, their path names, placements and visibility.
#include <Fusion/FusionAll.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::fusion {

using host::ModelAccess;

namespace {

// The occurrences of component, seen through context (none: the natives).
void appendChildren(const Component& component, const Ptr<Occurrence>& context,
                    std::vector<Ptr<Occurrence>>& out) {
    Ptr<Occurrences> natives = component.occurrences();
    for (size_t i = 0; natives && i < natives->count(); ++i) {
        Ptr<Occurrence> native = natives->item(i);
        out.push_back(context ? ModelAccess::seenThrough(native, context) : native);
    }
}

Ptr<OccurrenceList> listOf(std::vector<Ptr<Occurrence>> items) {
    Ptr<OccurrenceList> list = ModelAccess::make<OccurrenceList>();
    ModelAccess::items(*list) = std::move(items);
    return list;
}

}  // namespace

Ptr<Occurrence> OccurrenceList::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<OccurrenceList> Occurrences::asList() const {
    return listOf(items_);
}

bool Occurrence::isVisible() const {
    for (const Occurrence* o = this; o; o = o->context_.get())
        if (!o->visible_) return false;
    return true;
}

Ptr<core::Matrix3D> Occurrence::transform() const {
    if (!hasTransform_) return nullptr;
    Ptr<core::Matrix3D> m = core::Matrix3D::create();
    m->setWithArray({transform_.begin(), transform_.end()});
    // Seen through others: the placements above are applied after this one.
    for (const Occurrence* o = context_.get(); o; o = o->context_.get()) {
        if (!o->hasTransform_) continue;
        Ptr<core::Matrix3D> above = core::Matrix3D::create();
        above->setWithArray({o->transform_.begin(), o->transform_.end()});
        m->transformBy(above);
    }
    return m;
}

Ptr<OccurrenceList> Occurrence::childOccurrences() const {
    std::vector<Ptr<Occurrence>> children;
    if (component_) appendChildren(*component_, Ptr<Occurrence>(this, false), children);
    return listOf(std::move(children));
}

char* Occurrence::fullPathName_raw() const {
    std::vector<const Occurrence*> path;
    for (const Occurrence* o = this; o; o = o->context_.get()) path.push_back(o);
    std::string name;
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        name += (name.empty() ? "" : "+") + (*it)->name_;
    return host::detail::hostText(name);
}

// Depth first without recursion: the loaders bound the nesting, not the stack.
Ptr<OccurrenceList> Component::allOccurrences() const {
    std::vector<Ptr<Occurrence>> all;
    std::vector<Ptr<Occurrence>> pending;
    appendChildren(*this, nullptr, pending);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        Ptr<Occurrence> next = std::move(pending.back());
        pending.pop_back();
        all.push_back(next);
        std::vector<Ptr<Occurrence>> children;
        if (Ptr<Component> c = next->component()) appendChildren(*c, next, children);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return listOf(std::move(all));
}

}  // namespace adsk::fusion
