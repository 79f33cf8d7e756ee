#include <Core/CoreAll.h>

#include <cmath>

namespace adsk::core {

Base::~Base() = default;

Ptr<Point3D> Point3D::create(double x, double y, double z) {
    return Ptr<Point3D>(new Point3D(x, y, z));
}

bool Point3D::getData(double& x, double& y, double& z) const {
    x = v_[0];
    y = v_[1];
    z = v_[2];
    return true;
}

bool Point3D::setWithArray(const std::vector<double>& coordinates) {
    if (coordinates.size() != 3) return false;
    for (int i = 0; i < 3; ++i) v_[i] = coordinates[i];
    return true;
}

Ptr<Vector3D> Point3D::asVector() const {
    return Vector3D::create(v_[0], v_[1], v_[2]);
}
Ptr<Point3D> Point3D::copy() const {
    return create(v_[0], v_[1], v_[2]);
}

double Point3D::distanceTo(const Ptr<Point3D>& other) const {
    return std::hypot(other->v_[0] - v_[0], other->v_[1] - v_[1], other->v_[2] - v_[2]);
}

bool Point3D::isEqualTo(const Ptr<Point3D>& other) const {
    return other && other->v_ == v_;
}

Ptr<Vector3D> Vector3D::create(double x, double y, double z) {
    return Ptr<Vector3D>(new Vector3D(x, y, z));
}

double Vector3D::length() const {
    return std::hypot(v_[0], v_[1], v_[2]);
}

bool Vector3D::normalize() {
    const double l = length();
    if (l == 0 || !std::isfinite(l)) return false;
    for (double& c : v_) c /= l;
    return true;
}

bool Vector3D::add(const Ptr<Vector3D>& other) {
    if (!other) return false;
    for (int i = 0; i < 3; ++i) v_[i] += other->v_[i];
    return true;
}

bool Vector3D::subtract(const Ptr<Vector3D>& other) {
    if (!other) return false;
    for (int i = 0; i < 3; ++i) v_[i] -= other->v_[i];
    return true;
}

bool Vector3D::scaleBy(double factor) {
    for (double& c : v_) c *= factor;
    return true;
}

double Vector3D::dotProduct(const Ptr<Vector3D>& other) const {
    return v_[0] * other->v_[0] + v_[1] * other->v_[1] + v_[2] * other->v_[2];
}

Ptr<Vector3D> Vector3D::crossProduct(const Ptr<Vector3D>& other) const {
    const auto& o = other->v_;
    return create(v_[1] * o[2] - v_[2] * o[1], v_[2] * o[0] - v_[0] * o[2],
                  v_[0] * o[1] - v_[1] * o[0]);
}

bool Vector3D::getData(double& x, double& y, double& z) const {
    x = v_[0];
    y = v_[1];
    z = v_[2];
    return true;
}

bool Vector3D::setWithArray(const std::vector<double>& coordinates) {
    if (coordinates.size() != 3) return false;
    for (int i = 0; i < 3; ++i) v_[i] = coordinates[i];
    return true;
}

Ptr<Point3D> Vector3D::asPoint() const {
    return Point3D::create(v_[0], v_[1], v_[2]);
}
Ptr<Vector3D> Vector3D::copy() const {
    return create(v_[0], v_[1], v_[2]);
}
bool Vector3D::isEqualTo(const Ptr<Vector3D>& other) const {
    return other && other->v_ == v_;
}

Matrix3D::Matrix3D() {
    setToIdentity();
}

Ptr<Matrix3D> Matrix3D::create() {
    return Ptr<Matrix3D>(new Matrix3D());
}

double Matrix3D::getCell(int row, int column) const {
    if (row < 0 || row > 3 || column < 0 || column > 3) return 0;
    return cells_[row * 4 + column];
}

bool Matrix3D::setCell(int row, int column, double value) {
    if (row < 0 || row > 3 || column < 0 || column > 3) return false;
    cells_[row * 4 + column] = value;
    return true;
}

bool Matrix3D::setWithArray(const std::vector<double>& cells) {
    if (cells.size() != 16) return false;
    for (int i = 0; i < 16; ++i) cells_[i] = cells[i];
    return true;
}

bool Matrix3D::setToIdentity() {
    cells_.fill(0);
    cells_[0] = cells_[5] = cells_[10] = cells_[15] = 1;
    return true;
}

Ptr<Vector3D> Matrix3D::translation() const {
    return Vector3D::create(cells_[3], cells_[7], cells_[11]);
}

bool Matrix3D::translation(const Ptr<Vector3D>& offset) {
    if (!offset) return false;
    cells_[3] = offset->x();
    cells_[7] = offset->y();
    cells_[11] = offset->z();
    return true;
}

// this = other * this: the result first applies this, then other.
bool Matrix3D::transformBy(const Ptr<Matrix3D>& other) {
    if (!other) return false;
    std::array<double, 16> result{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                result[r * 4 + c] += other->cells_[r * 4 + k] * cells_[k * 4 + c];
    cells_ = result;
    return true;
}

void Matrix3D::getAsCoordinateSystem(Ptr<Point3D>& origin, Ptr<Vector3D>& xAxis,
                                     Ptr<Vector3D>& yAxis, Ptr<Vector3D>& zAxis) const {
    auto column = [&](int c) { return Vector3D::create(cells_[c], cells_[4 + c], cells_[8 + c]); };
    origin = Point3D::create(cells_[3], cells_[7], cells_[11]);
    xAxis = column(0);
    yAxis = column(1);
    zAxis = column(2);
}

Ptr<Matrix3D> Matrix3D::copy() const {
    Ptr<Matrix3D> m = create();
    m->cells_ = cells_;
    return m;
}

}  // namespace adsk::core
