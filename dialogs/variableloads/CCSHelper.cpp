#include "dialogs/variableloads/CCSHelper.h"

#include "host/model/DbGeometry.h"
#include "host/model/UnitSystem.h"

namespace DataModelDialogs {

namespace {

using Vector3 = CCSHelper::Vector3;

Vector3 Minus(const Vector3& a, const Vector3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Scales v to length 1; false for a zero or non-finite length.
bool Normalise(Vector3& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0) || !std::isfinite(length)) return false;
    for (double& c : v) c /= length;
    return true;
}

}  // namespace

void CCSHelper::SetPoints(const Vector3& a, const Vector3& b, const Vector3& c) {
    a_ = a;
    b_ = b;
    c_ = c;
}

bool CCSHelper::SetUpAxes() {
    Vector3 ab = Minus(b_, a_);
    Vector3 ac = Minus(c_, a_);
    Vector3 z = ab;
    Vector3 y = Cross(ab, ac);
    // C - A of length 0 makes the cross product 0 as well.
    if (!Normalise(z) || !Normalise(y)) return false;
    Vector3 x = Cross(y, z);
    if (!Normalise(x)) return false;
    axes_ = {x, y, z};
    return true;
}

bool CCSHelper::SetUp(const OrvDbRecord::DbCoordinateSystem& system) {
    type_ = system.CoordinateSystemType();
    SetPoints(system.PointA_CV(), system.PointB_CV(), system.PointC_CV());
    return type_ == 0 || SetUpAxes();
}

RstPoint CCSHelper::ToRst(const Vector3& p, const OrvDbRecord::DisplayUnitSystem& display) const {
    return ScaleLengths(ToModelRst(p), ModelToDisplayLengthFactor(display));
}

double ModelToDisplayLengthFactor(const OrvDbRecord::DisplayUnitSystem& display) {
    // A length has no offset, so converting 1 gives the factor that ConvertUnits applies.
    return display.ConvertUnits(1.0, UnitSys::UnitSystem::Length);
}

}  // namespace DataModelDialogs
