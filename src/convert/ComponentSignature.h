// Fingerprint of one component as it stood at one conversion; two signatures that
// differ mean the component's bodies must be sent again.
#pragma once

#include <array>
#include <string>
#include <vector>

// One body of the component, by name.
struct BodyMark {
    std::string name;
    bool visible = false;
    // First vertex of the first display mesh of the body's first face (host units).
    bool hasFirstVertex = false;
    std::array<float, 3> firstVertex{};
};

struct ComponentSignature {
    bool visible = false;
    double area = 0.0;    // cm², from the host's physical properties
    double volume = 0.0;  // cm³
    // Per body in host order, per distinct face appearance in order of first use:
    // "<count>x<appearance id> ".
    std::string appearanceSummary;
    // Sorted by name, one mark per name (settleSignature). Flat vectors rather
    // than maps: a signature is built for every component on every click and
    // copied once per conversion.
    std::vector<BodyMark> bodies;
    std::vector<std::string> childComponents;  // sorted, each name once
};

// Sorts the body marks and child names and merges repeated names, as maps keyed
// by name would: a later body of a name sets the visibility, and the first
// vertex when it has one.
void settleSignature(ComponentSignature& signature);

// True at the first field that differs; a NaN area or volume always counts as a change.
bool signaturesDiffer(const ComponentSignature& a, const ComponentSignature& b);
