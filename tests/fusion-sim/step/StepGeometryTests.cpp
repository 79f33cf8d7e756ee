// Physical properties against the B-rep, and the display meshes' invariants.
#include <gtest/gtest.h>

#include <cmath>

#include "StepTestSupport.h"
#include "step/IsolatedLoad.h"

namespace {

using namespace steploader;
using steptest::sample;

const char* const kSamples[] = {"as1-oc-214-mat.stp",
                                "trj6_as1-hc-214.stp",
                                "trj7_as1-pe-214.stp",
                                "as1_motor.step",
                                "bug25381_test_assembly_invisible.step",
                                "bug28345_30338.stp",
                                "trj7_c1-hc-214.stp",
                                "trj6_c1-ug-214.stp"};

TEST(StepPhysicalProperties, AreasAndVolumesInCentimetres) {
    struct Fact {
        const char* file;
        double area;
        double volume;
    };
    // Measured on the B-rep with OCCT 7.6.3.
    for (const Fact& fact :
         {Fact{"as1-oc-214-mat.stp", 1410.79, 764.52}, Fact{"trj6_as1-hc-214.stp", 1410.79, 764.52},
          Fact{"trj7_as1-pe-214.stp", 1416.45, 765.93}, Fact{"trj7_c1-hc-214.stp", 600.0, 1000.0},
          Fact{"trj6_c1-ug-214.stp", 45.16, 16.39}}) {
        const Design& design = sample(fact.file);
        const Component& root = design.components[design.root];
        EXPECT_NEAR(root.area, fact.area, 0.01) << fact.file;
        EXPECT_NEAR(root.volume, fact.volume, 0.01) << fact.file;
    }
}

TEST(StepPhysicalProperties, AComponentSumsItsBodiesAndEveryInstanceBelowIt) {
    const Design& design = sample("as1-oc-214-mat.stp");
    const Component& nutBolt = steptest::component(design, "nut-bolt-assembly");
    const Component& nut = steptest::component(design, "nut");
    const Component& bolt = steptest::component(design, "bolt");
    EXPECT_NEAR(nut.volume, nut.bodies[0].volume, 1e-12);
    EXPECT_NEAR(nutBolt.volume, nut.volume + bolt.volume, 1e-9);
    EXPECT_NEAR(nutBolt.area, nut.area + bolt.area, 1e-9);
    const Component& bracketAssembly = steptest::component(design, "l-bracket-assembly");
    const Component& bracket = steptest::component(design, "l-bracket");
    EXPECT_NEAR(bracketAssembly.volume, bracket.volume + 3 * nutBolt.volume, 1e-9);
}

class SampleMeshes : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleMeshes, ArraysAreConsistentAndIndicesInRange) {
    const Design& design = sample(GetParam());
    int meshed = 0;
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) {
            for (const Face& f : b.faces) {
                const Mesh& m = f.mesh;
                ASSERT_EQ(m.coordinates.size() % 3, 0u);
                const std::size_t nodes = m.coordinates.size() / 3;
                ASSERT_EQ(m.normals.size(), m.coordinates.size());
                ASSERT_EQ(m.textureCoordinates.size(), 2 * nodes);
                ASSERT_EQ(m.indices.size() % 3, 0u);
                for (int index : m.indices) {
                    ASSERT_GE(index, 0);
                    ASSERT_LT(static_cast<std::size_t>(index), nodes);
                }
                for (std::size_t i = 0; i < nodes; ++i) {
                    const double length =
                        std::hypot(m.normals[3 * i], m.normals[3 * i + 1], m.normals[3 * i + 2]);
                    ASSERT_NEAR(length, 1.0, 1e-4) << c.name;
                }
                for (float v : m.coordinates) ASSERT_TRUE(std::isfinite(v));
                for (float v : m.textureCoordinates) ASSERT_TRUE(std::isfinite(v));
                if (!m.indices.empty()) ++meshed;
            }
        }
    }
    EXPECT_EQ(meshed, steptest::totalFaces(design)) << "every face is meshed";
}

TEST_P(SampleMeshes, NormalsAgreeWithTheWinding) {
    const Design& design = sample(GetParam());
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) {
            for (std::size_t faceIndex = 0; faceIndex < b.faces.size(); ++faceIndex) {
                const Mesh& m = b.faces[faceIndex].mesh;
                const auto& p = m.coordinates;
                int disagreeing = 0;
                for (std::size_t t = 0; t < m.indices.size(); t += 3) {
                    const int a = m.indices[t], bb = m.indices[t + 1], cc = m.indices[t + 2];
                    const double u[3] = {p[3 * bb] - p[3 * a], p[3 * bb + 1] - p[3 * a + 1],
                                         p[3 * bb + 2] - p[3 * a + 2]};
                    const double v[3] = {p[3 * cc] - p[3 * a], p[3 * cc + 1] - p[3 * a + 1],
                                         p[3 * cc + 2] - p[3 * a + 2]};
                    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                         u[0] * v[1] - u[1] * v[0]};
                    if (std::hypot(n[0], n[1], n[2]) < 1e-12) continue;  // degenerate sliver
                    double agreement = 0;
                    for (int corner : {a, bb, cc}) {
                        agreement += n[0] * m.normals[3 * corner] +
                                     n[1] * m.normals[3 * corner + 1] +
                                     n[2] * m.normals[3 * corner + 2];
                    }
                    if (agreement <= 0) ++disagreeing;
                }
                EXPECT_EQ(disagreeing, 0) << c.name << " face " << faceIndex;
            }
        }
    }
}

// Checks every closed solid at least `minimumVolume` cm³ large: meshes made
// with a deflection relative to the model are coarse on small parts of a huge
// model.
void expectMeshesEncloseBRepVolume(const Design& design, double minimumVolume) {
    int checked = 0;
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) {
            if (!b.solid || b.volume < minimumVolume) continue;
            ++checked;
            double volume = 0;
            for (const Face& f : b.faces) volume += steptest::enclosedVolume(f.mesh);
            // Positive: triangles wind outwards. Close: the mesh follows the surface.
            EXPECT_NEAR(volume, b.volume, 0.03 * b.volume) << c.name << " " << b.name;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_P(SampleMeshes, ClosedSolidsEncloseTheirBRepVolume) {
    const std::string file = GetParam();
    // as1_motor spans 300 m: only its parts above 1 m³ are meshed finely enough.
    expectMeshesEncloseBRepVolume(sample(file), file == "as1_motor.step" ? 1e6 : 0.0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleMeshes, ::testing::ValuesIn(kSamples),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

TEST(StepMeshing, DeflectionFollowsTheModelSizeUnlessGiven) {
    // AS1's default deflection is 0.001 × its 26 cm diagonal; an absolute
    // 0.002 cm is ten times finer and must give many more triangles.
    auto triangles = [](const Design& design) {
        std::size_t n = 0;
        for (const Component& c : design.components) {
            for (const Body& b : c.bodies) {
                for (const Face& f : b.faces) n += f.mesh.indices.size() / 3;
            }
        }
        return n;
    };
    const std::string path = steptest::samplePath("as1-oc-214-mat.stp");
    const std::size_t byDefault = triangles(sample("as1-oc-214-mat.stp"));
    Options fine;
    fine.deflection = 0.002;
    fine.angularDeflection = 0.1;
    const Design fineDesign = loadStepDesign(path, fine);
    EXPECT_GT(triangles(fineDesign), 3 * byDefault);
    // A finer mesh encloses the B-rep volume more closely.
    const Body& rod = steptest::component(fineDesign, "rod").bodies[0];
    double volume = 0;
    for (const Face& f : rod.faces) volume += steptest::enclosedVolume(f.mesh);
    EXPECT_NEAR(volume, rod.volume, 0.002 * rod.volume);
}

}  // namespace
