// Fingerprint of one component as it stood at one conversion; two signatures that
// differ mean the component's bodies must be sent again.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct ComponentSignature {
    bool visible = false;
    double area = 0.0;    // cm², from the host's physical properties
    double volume = 0.0;  // cm³
    // Per body in host order, per distinct face appearance in order of first use:
    // "<count>x<appearance id> ".
    std::string appearanceSummary;
    std::map<std::string, bool> bodyVisibility;
    // Body name -> first vertex of the first display mesh of its first face (host units).
    std::map<std::string, std::vector<float>> bodyFirstVertex;
    std::set<std::string> childComponents;
};

// True at the first field that differs; a NaN area or volume always counts as a change.
bool signaturesDiffer(const ComponentSignature& a, const ComponentSignature& b);
