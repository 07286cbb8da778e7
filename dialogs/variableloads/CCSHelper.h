#pragma once
// CCSHelper: the coordinate frame of a coordinate system, built from its three points, and the
// conversion of a model point into the variables r, s and t of a variable load function.
//
// Coordinate system types: 0 global Cartesian (r, s, t = x, y, z), 1 cylindrical (radius,
// angle about the axis, axial coordinate), 2 local rectangular (local x, y, z), 3 spherical
// (radius, polar angle from the axis, azimuth). Angles are in radians.

#include <array>
#include <cmath>
#include <cstdint>

namespace OrvDbRecord {
class DbCoordinateSystem;
class DisplayUnitSystem;
}  // namespace OrvDbRecord

namespace DataModelDialogs {

struct RstPoint {
    double r = 0;
    double s = 0;
    double t = 0;
};

class CCSHelper {
public:
    using Vector3 = std::array<double, 3>;

    CCSHelper() = default;
    virtual ~CCSHelper() = default;
    CCSHelper(const CCSHelper&) = default;
    CCSHelper& operator=(const CCSHelper&) = default;

    std::uint32_t GetType() const { return type_; }
    void SetType(std::uint32_t type) { type_ = type; }
    // A is the origin, B a point on the local z axis, C a point in the local x-z plane.
    const Vector3& GetPointA() const { return a_; }
    const Vector3& GetPointB() const { return b_; }
    const Vector3& GetPointC() const { return c_; }
    void SetPoints(const Vector3& a, const Vector3& b, const Vector3& c);
    // Axis 0 local x, 1 local y, 2 local z; all zero until a set-up succeeds.
    const Vector3& GetAxis(int index) const { return axes_[std::size_t(index)]; }

    // Computes the axes from the points: z along B - A, y along (B - A) x (C - A), x = y x z.
    // Coincident or collinear points (or points that are not finite) leave the axes as they
    // were and give false.
    bool SetUpAxes();
    // Takes the type and points of the system and, for types other than 0, sets up the axes;
    // a degenerate local system keeps the previous axes (false).
    bool SetUp(const OrvDbRecord::DbCoordinateSystem& system);

    // (r, s, t) of a model point, lengths still in model units.
    RstPoint ToModelRst(const Vector3& p) const {
        if (type_ == 0) return {p[0], p[1], p[2]};
        const double qx = p[0] - a_[0], qy = p[1] - a_[1], qz = p[2] - a_[2];
        const double x = qx * axes_[0][0] + qy * axes_[0][1] + qz * axes_[0][2];
        const double y = qx * axes_[1][0] + qy * axes_[1][1] + qz * axes_[1][2];
        const double z = qx * axes_[2][0] + qy * axes_[2][1] + qz * axes_[2][2];
        switch (type_) {
        case 1: return {std::sqrt(x * x + y * y), std::atan2(y, x), z};
        case 3: return {std::sqrt(x * x + y * y + z * z), std::atan2(std::sqrt(x * x + y * y), z), std::atan2(y, x)};
        default: return {x, y, z};
        }
    }
    // The same, computing only the variables of `needed` (bit 0 r, 1 s, 2 t); the others are
    // 0. Skips the arc tangents of angles an expression does not use.
    RstPoint ToModelRst(const Vector3& p, unsigned needed) const {
        if (type_ != 1 && type_ != 3) return ToModelRst(p);
        const double qx = p[0] - a_[0], qy = p[1] - a_[1], qz = p[2] - a_[2];
        const double x = qx * axes_[0][0] + qy * axes_[0][1] + qz * axes_[0][2];
        const double y = qx * axes_[1][0] + qy * axes_[1][1] + qz * axes_[1][2];
        const double z = qx * axes_[2][0] + qy * axes_[2][1] + qz * axes_[2][2];
        RstPoint rst;
        if (type_ == 1) {
            if (needed & 1u) rst.r = std::sqrt(x * x + y * y);
            if (needed & 2u) rst.s = std::atan2(y, x);
            rst.t = z;
        } else {
            if (needed & 1u) rst.r = std::sqrt(x * x + y * y + z * z);
            if (needed & 2u) rst.s = std::atan2(std::sqrt(x * x + y * y), z);
            if (needed & 4u) rst.t = std::atan2(y, x);
        }
        return rst;
    }
    // Which of r, s and t are lengths for this type (the others are angles).
    bool IsLength(int variable) const {
        switch (variable) {
        case 1: return type_ != 1 && type_ != 3;
        case 2: return type_ != 3;
        default: return true;
        }
    }
    // Multiplies the length components by `lengthFactor` (model to display length).
    RstPoint ScaleLengths(RstPoint p, double lengthFactor) const {
        p.r *= lengthFactor;
        if (IsLength(1)) p.s *= lengthFactor;
        if (IsLength(2)) p.t *= lengthFactor;
        return p;
    }
    // (r, s, t) of a model point with its lengths in the display unit system.
    RstPoint ToRst(const Vector3& p, const OrvDbRecord::DisplayUnitSystem& display) const;

private:
    std::uint32_t type_ = 0;
    Vector3 a_{};
    Vector3 b_{};
    Vector3 c_{};
    std::array<Vector3, 3> axes_{};
};

// The factor that takes a model length into the display unit system (displayable unit 1).
double ModelToDisplayLengthFactor(const OrvDbRecord::DisplayUnitSystem& display);

}  // namespace DataModelDialogs
