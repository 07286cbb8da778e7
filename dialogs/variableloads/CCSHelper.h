#pragma once
// CCSHelper: the coordinate frame of a coordinate system, built from its three points, and the
// conversion of a model point into the variables r, s and t of a variable load function.
//
// Coordinate system types: 0 global Cartesian (r, s, t = x, y, z), 1 cylindrical (radius,
// angle about the axis, axial coordinate), 2 local rectangular (local x, y, z), 3 spherical
// (radius, polar angle from the axis, azimuth). Angles are in radians.

#include <array>
#include <cmath>
#include <cstddef>
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

    // (r, s, t) of a model point, lengths still in model units. The arc tangents are RstAtan2.
    RstPoint ToModelRst(const Vector3& p) const { return ToModelRst(p, 7u); }
    // The same, computing only the variables of `needed` (bit 0 r, 1 s, 2 t) for the cylindrical
    // and spherical types; the others are 0. Skips the arc tangents of angles an expression does
    // not use. The other types always give all three.
    RstPoint ToModelRst(const Vector3& p, unsigned needed) const;
    // (r, s, t) of n model points given as coordinate arrays, lengths multiplied by lengthFactor:
    // r[i], s[i], t[i] are exactly ScaleLengths(ToModelRst({x[i], y[i], z[i]}, needed),
    // lengthFactor). Four points at a time in vector registers.
    void ToRstBlock(std::size_t n, const double* x, const double* y, const double* z, unsigned needed, double lengthFactor,
                    double* r, double* s, double* t) const;
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

// The angle of (x, y) from the positive x axis, in [-pi, pi], as std::atan2 gives it to within 2
// units in the last place, with its exact values at the axes and diagonals (0, +-pi/4, +-pi/2,
// +-3pi/4, +-pi), signed zeros, infinities and NaN; written so that it runs in vector registers.
double RstAtan2(double y, double x);

// The factor that takes a model length into the display unit system (displayable unit 1).
double ModelToDisplayLengthFactor(const OrvDbRecord::DisplayUnitSystem& display);

}  // namespace DataModelDialogs
