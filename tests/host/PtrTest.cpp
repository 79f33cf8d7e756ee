// Reference counting, casts and the host's array hand-over.
#include <gtest/gtest.h>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "host/Session.h"
#include "host/model/HostArray.h"

using namespace adsk::core;

namespace {

Ptr<Vector3D> vector(double x) {
    return Vector3D::create(x, 0, 0);
}

}  // namespace

TEST(Ptr, AttachTakesTheReferenceAndCopiesAddOne) {
    Ptr<Vector3D> a = vector(1);
    EXPECT_EQ(a->refcount(), 1);
    Ptr<Vector3D> b = a;
    EXPECT_EQ(a->refcount(), 2);
    Ptr<Vector3D> c(a.get(), false);  // not attaching: adds a reference
    EXPECT_EQ(a->refcount(), 3);
    Ptr<Vector3D> moved = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(a->refcount(), 3);
    c.reset();
    EXPECT_FALSE(c);
    EXPECT_EQ(a->refcount(), 2);
    Vector3D* raw = moved.detach();
    EXPECT_FALSE(moved);
    EXPECT_EQ(a->refcount(), 2);
    Ptr<Vector3D> again(raw);  // attach the detached reference
    EXPECT_EQ(a->refcount(), 2);
}

TEST(Ptr, AssignmentReleasesTheOldObject) {
    Ptr<Vector3D> keep = vector(1);
    Ptr<Vector3D> p = keep;
    EXPECT_EQ(keep->refcount(), 2);
    p = vector(2);
    EXPECT_EQ(keep->refcount(), 1);
    EXPECT_DOUBLE_EQ(p->x(), 2);
    p = p;  // self-assignment keeps the object
    EXPECT_EQ(p->refcount(), 1);
    p = nullptr;
    EXPECT_FALSE(p);
    static_assert(std::is_void_v<decltype(p = keep)>, "operator= returns void");
}

TEST(Ptr, ArrowOnNullThrowsAPlainException) {
    Ptr<Vector3D> empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.get(), nullptr);
    EXPECT_THROW(empty->x(), std::exception);
    EXPECT_THROW(*empty, std::exception);
}

TEST(Cast, WalksTheClassChain) {
    host::resetApplication();
    host::DocumentData data;
    data.addDesign().appearances.push_back(
        {"a",
         "A",
         {host::colorProperty("opaque_albedo", 1, 2, 3), host::filenameProperty("f", "/x")}});
    Ptr<Document> document = host::buildDocument(data);
    Ptr<Product> product = document->products()->item(0);
    Ptr<adsk::fusion::Design> design = product;  // assignment from a base casts
    ASSERT_TRUE(design);

    Ptr<Property> property = design->appearances()->item(0)->appearanceProperties()->item(0);
    EXPECT_TRUE(property->cast<ColorProperty>());
    EXPECT_TRUE(property->cast<Property>());
    EXPECT_TRUE(property->cast<Base>());
    EXPECT_FALSE(property->cast<FilenameProperty>());
    Ptr<FilenameProperty> wrong = property;
    EXPECT_FALSE(wrong);

    Ptr<FilenameProperty> file = design->appearances()->item(0)->appearanceProperties()->item(1);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->value(), "/x");
}

TEST(HostArray, TextAndNumbersComeBackAsCopiesAndNullAsEmpty) {
    EXPECT_EQ(detail::takeText(nullptr), "");
    EXPECT_EQ(detail::takeText(host::detail::hostText("abc")), "abc");
    EXPECT_TRUE(detail::takeArray<float>(nullptr, 7).empty());

    float* shared = host::detail::arrayFrom(std::vector<float>{1, 2, 3});
    // Two hand-outs of one host array: each copy is independent, the array lives on.
    std::vector<float> first = detail::takeArray(host::detail::shareArray(shared), 3);
    first[0] = 9;
    std::vector<float> second = detail::takeArray(host::detail::shareArray(shared), 3);
    EXPECT_EQ(second, (std::vector<float>{1, 2, 3}));
    DeallocateArrayInternal(shared);
}
