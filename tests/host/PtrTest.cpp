// Reference counting of the host's smart pointer.
#include <gtest/gtest.h>

#include <Core/CoreAll.h>

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

