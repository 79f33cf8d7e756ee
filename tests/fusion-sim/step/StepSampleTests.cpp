// The sample STEP files of the shared data folder (real CAD exchange files),
// when they are there: the facts of tests/data/step/facts.tsv and the display
// meshes of every sample.
#include <cstdio>
#include <sstream>

#include "StepTestSupport.h"
#include "step/IsolatedLoad.h"
#include "support/Files.h"

namespace {

using namespace steploader;
using steptest::sample;
using StepSamples = steptest::SampleTest;

const char* const kSamples[] = {"as1-oc-214-mat.stp",  "trj6_as1-hc-214.stp",
                                "trj7_as1-pe-214.stp", "as1_motor.step",
                                "bug25381_test_assembly_invisible.step",
                                "bug28345_30338.stp",  "trj7_c1-hc-214.stp",
                                "trj6_c1-ug-214.stp"};

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string colourOf(const Design& design, int appearance) {
    if (appearance == kNoAppearance) return "none";
    const Colour& c = design.appearances.at(appearance).colour;
    return std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue);
}

// The component named so, preferring one with bodies (an assembly and its
// part may share a name); "" is the root.
const Component& named(const Design& design, const std::string& name) {
    if (name.empty()) return design.components[design.root];
    for (const Component& c : design.components)
        if (c.name == name && !c.bodies.empty()) return c;
    return steptest::component(design, name);
}

// One fact of a design as text; `what` is a kind and a component name.
std::string describe(const Design& design, const std::string& what) {
    const size_t space = what.find(' ');
    const std::string kind = what.substr(0, space);
    const Component& c = named(design, space == std::string::npos ? "" : what.substr(space + 1));
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    if (kind == "counts") {  // components occurrences bodies faces body-instances unit
        size_t occurrences = 0, bodies = 0, instances = 0;
        for (const Component& each : design.components) {
            occurrences += each.occurrences.size();
            bodies += each.bodies.size();
        }
        std::vector<int> open{design.root};  // every placed body, hidden ones included
        while (!open.empty()) {
            const Component& at = design.components[open.back()];
            open.pop_back();
            instances += at.bodies.size();
            for (const Occurrence& o : at.occurrences) open.push_back(o.component);
        }
        return std::to_string(design.components.size()) + " " + std::to_string(occurrences) + " " +
               std::to_string(bodies) + " " + std::to_string(steptest::totalFaces(design)) + " " +
               std::to_string(instances) + " " + design.units;
    }
    if (kind == "measures") {  // cm² and cm³ to two decimals
        char text[64];
        const steptest::PhysicalTotals totals =
            steptest::physicalTotals(design, &c == &design.components[design.root] ? "" : c.name);
        std::snprintf(text, sizeof text, "%.2f %.2f", totals.area, totals.volume);
        return text;
    }
    if (kind == "name") return c.name;
    if (kind == "occurrences") {  // name, [hidden], [override colour]
        for (const Occurrence& o : c.occurrences)
            add(o.name + (o.visible ? "" : " hidden") +
                (o.appearance == kNoAppearance ? "" : " (" + colourOf(design, o.appearance) + ")"));
    } else if (kind == "placements") {  // translation of each occurrence
        for (const Occurrence& o : c.occurrences)
            add(number(o.transform[3]) + " " + number(o.transform[7]) + " " + number(o.transform[11]));
    } else if (kind == "bodies") {  // name, solid or shell, colour, face colours in runs
        for (const Body& b : c.bodies) {
            std::string faces;
            for (size_t i = 0; i < b.faces.size();) {
                size_t j = i;
                while (j < b.faces.size() && b.faces[j].appearance == b.faces[i].appearance) ++j;
                faces += " " + colourOf(design, b.faces[i].appearance) + " x" + std::to_string(j - i);
                i = j;
            }
            add(b.name + (b.solid ? " solid " : " shell ") + colourOf(design, b.appearance) + " |" +
                faces + (b.visible ? "" : " hidden"));
        }
    } else {
        ADD_FAILURE() << "unknown fact " << kind;
    }
    return text.empty() ? "(none)" : text;
}

TEST_F(StepSamples, FactsOfTheSampleFiles) {
    std::istringstream table(support::readFile(support::dataPath("step/facts.tsv")));
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string file, what, expected;
        std::getline(fields, file, '\t');
        std::getline(fields, what, '\t');
        std::getline(fields, expected);
        EXPECT_EQ(describe(sample(file), what), expected) << file << ": " << what;
        ++rows;
    }
    EXPECT_GT(rows, 30);
}

TEST_F(StepSamples, DisplayMeshesFollowTheSurfaces) {
    for (const char* file : kSamples) {
        SCOPED_TRACE(file);
        // as1_motor spans 300 m: only its parts above 1 m³ are meshed finely enough.
        steptest::expectWellMeshed(sample(file), std::string(file) == "as1_motor.step" ? 1e6 : 0.0);
    }
}

TEST_F(StepSamples, DeflectionFollowsTheModelSizeUnlessGiven) {
    // AS1's default deflection is 0.001 × its 26 cm diagonal; an absolute
    // 0.002 cm is ten times finer and must give many more triangles.
    auto triangles = [](const Design& design) {
        std::size_t n = 0;
        for (const Component& c : design.components)
            for (const Body& b : c.bodies)
                for (const Face& f : b.faces) n += f.mesh.indices.size() / 3;
        return n;
    };
    Options fine;
    fine.deflection = 0.002;
    fine.angularDeflection = 0.1;
    const Design fineDesign = loadStepDesign(steptest::samplePath("as1-oc-214-mat.stp"), fine);
    EXPECT_GT(triangles(fineDesign), 3 * triangles(sample("as1-oc-214-mat.stp")));
    // A finer mesh encloses the B-rep volume more closely.
    const Body& rod = steptest::component(fineDesign, "rod").bodies[0];
    double volume = 0;
    for (const Face& f : rod.faces) volume += steptest::enclosedVolume(f.mesh);
    EXPECT_NEAR(volume, rod.volume, 0.002 * rod.volume);
}

}  // namespace
