// Conversion of model points into (r, s, t), four points at a time. The arithmetic is written on
// vectors of four doubles (the compiler's vector extension), so it needs no flag beyond the
// plain x86-64 baseline, where each operation becomes two SSE2 instructions; where the processor
// has AVX2, a second copy of the block loop uses it. Both copies perform the same IEEE
// operations in the same order (no fused multiply-add), so they give the same bits, and the
// one-point conversion goes through the same code.

#include <cstring>
#include <limits>

#include "dialogs/variableloads/CCSHelper.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A copy of the block loop for processors with AVX2, chosen when the library is loaded.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define ORV_RST_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORV_RST_CLONES
#endif

// Every function that takes or returns a four-double vector is inlined (even without
// optimisation), so no vector crosses a call, and the calling convention GCC warns about for
// them, which differs between the baseline and the AVX2 copy, never comes into play.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wpsabi"
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#define ORV_VECTOR_INLINE inline __attribute__((always_inline))

namespace DataModelDialogs {

namespace {

typedef double V __attribute__((vector_size(32)));
typedef long long M __attribute__((vector_size(32)));

constexpr std::size_t kLanes = 4;

ORV_VECTOR_INLINE V Broadcast(double d) { return V{d, d, d, d}; }
ORV_VECTOR_INLINE M Bits(const V& v) { return (M)v; }
ORV_VECTOR_INLINE V Doubles(const M& m) { return (V)m; }
// a where the mask is set, b elsewhere.
ORV_VECTOR_INLINE V Select(const M& mask, const V& a, const V& b) { return mask ? a : b; }

ORV_VECTOR_INLINE V Load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
ORV_VECTOR_INLINE void Store(double* p, const V& v) { std::memcpy(p, &v, sizeof v); }

ORV_VECTOR_INLINE V Sqrt(const V& v) {
#if defined(__SSE2__)
    // Correctly rounded like std::sqrt, without its error path for negative numbers.
    const __m128d lo = _mm_sqrt_pd(__m128d{v[0], v[1]});
    const __m128d hi = _mm_sqrt_pd(__m128d{v[2], v[3]});
    return V{lo[0], lo[1], hi[0], hi[1]};
#else
    return V{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// pi/4 as a double and the part of it the double misses.
constexpr double kQuarterPiHi = 0x1.921fb54442d18p-1;
constexpr double kQuarterPiLo = 0x1.1a62633145c07p-55;
// 3 * kQuarterPiHi less its value rounded to a double, exactly.
constexpr double kThreeQuarterPiRounding =
    static_cast<double>(3 * static_cast<long double>(kQuarterPiHi) - static_cast<long double>(3 * kQuarterPiHi));

// atan(u) = u + u z R(z), z = u^2, for |u| <= tan(pi/8): R is a polynomial of degree 10 fitted
// to (atan(u)/u - 1)/z at Chebyshev points (largest error of R about 3e-17).
constexpr double kR[] = {-0x1.5555555555555p-2, 0x1.999999999934ap-3,  -0x1.24924924360cbp-3, 0x1.c71c7185314cbp-4,
                         -0x1.745d0b26b83e7p-4, 0x1.3b1262d95579ep-4,  -0x1.10fa75382537fp-4, 0x1.dfe61e80903d2p-5,
                         -0x1.a098bb6ba4941p-5, 0x1.41603647c7a7cp-5,  -0x1.3a2b7a07caea9p-6};
constexpr double kTanEighthPi = 0x1.a827999fcef32p-2;

ORV_VECTOR_INLINE bool AllSet(const M& m) { return (m[0] & m[1] & m[2] & m[3]) != 0; }

// atan2(y, x) lane by lane. The smaller of |x|, |y| over the larger gives a ratio in [0, 1],
// above tan(pi/8) reduced by pi/4 through (mn - mx) / (mn + mx); the angle is then
// k pi/4 +- atan(u) for an integer k from 0 to 4, with k pi/4 carried in two parts so that the
// sum is rounded once. One division, and the polynomial evaluated as a shallow tree (Estrin)
// rather than a long chain. `careful` also takes zeros, infinities, NaN, numbers near the
// largest double (where mn + mx would overflow) and near the smallest (where tan(pi/8) * mx
// would lose digits); ordinary lanes need none of that.
template <bool careful>
ORV_VECTOR_INLINE V Atan2Lanes(const V& y, const V& x) {
    const M sign = Bits(Broadcast(-0.0));
    const V ax = Doubles(Bits(x) & ~sign), ay = Doubles(Bits(y) & ~sign);
    const M swapped = ay > ax;
    V mx = Select(swapped, ay, ax), mn = Select(swapped, ax, ay);
    const V one = Broadcast(1.0);
    if (careful) {
        const V inf = Broadcast(std::numeric_limits<double>::infinity());
        const M bothInfinite = (mx == inf) & (mn == inf);  // the diagonal: ratio 1
        mx = Select(bothInfinite, one, mx);
        mn = Select(bothInfinite, one, mn);
        mx = Select(mx == Broadcast(0.0), one, mx);  // both zero: ratio 0
        // A power of two changes no ratio; it keeps mn + mx finite and tan(pi/8) * mx normal.
        const V scale = Select(mx > Broadcast(0x1p1020), Broadcast(0x1p-4), Select(mx < Broadcast(0x1p-1000), Broadcast(0x1p100), one));
        mn *= scale;
        mx *= scale;
    }
    const M reduced = mn > Broadcast(kTanEighthPi) * mx;
    const V u = Select(reduced, mn - mx, mn) / Select(reduced, mn + mx, mx);
    const V z = u * u, z2 = z * z, z4 = z2 * z2, z8 = z4 * z4;
    const V p01 = kR[0] + kR[1] * z, p23 = kR[2] + kR[3] * z, p45 = kR[4] + kR[5] * z, p67 = kR[6] + kR[7] * z,
            p89 = kR[8] + kR[9] * z;
    const V q0 = p01 + p23 * z2, q1 = p45 + p67 * z2, q2 = p89 + kR[10] * z2;
    const V atanU = u + u * (z * ((q0 + q1 * z4) + q2 * z8));
    // k is 1 for a reduced ratio, else 2 when |y| > |x|, else 0; 4 - k when x is negative (or
    // -0), where the angle is pi less the one of |x|. atan(u) is subtracted when exactly one of
    // the two reflections applies.
    const M negativeX = Bits(x) >> 63;
    const V k1 = Select(reduced, one, Doubles(swapped & Bits(Broadcast(2.0))));
    const V k = Select(negativeX, Broadcast(4.0) - k1, k1);
    const V hi = k * kQuarterPiHi;  // exact but for k = 3
    const V lo = k * kQuarterPiLo + Doubles((k == Broadcast(3.0)) & Bits(Broadcast(kThreeQuarterPiRounding)));
    const V term = Doubles(Bits(atanU) ^ ((swapped ^ negativeX) & sign));
    V angle = hi + (lo + term);
    angle = Doubles((Bits(angle) & ~sign) | (Bits(y) & sign));
    if (careful) {
        const M notANumber = (x != x) | (y != y);
        angle = Select(notANumber, x + y, angle);
    }
    return angle;
}

ORV_VECTOR_INLINE V Atan2(const V& y, const V& x) {
    const M sign = Bits(Broadcast(-0.0));
    const V ax = Doubles(Bits(x) & ~sign), ay = Doubles(Bits(y) & ~sign);
    const V largest = Broadcast(0x1p1020);
    // The larger of the two from 2^-1000 to 2^1020 (NaN fails every comparison).
    const V smallest = Broadcast(0x1p-1000);
    const M ordinary = ((ax >= smallest) | (ay >= smallest)) & (ax <= largest) & (ay <= largest);
    return AllSet(ordinary) ? Atan2Lanes<false>(y, x) : Atan2Lanes<true>(y, x);
}

struct Frame {
    std::uint32_t type;
    double a[3];
    double axes[3][3];
};

// Four points: projection on the axes, then the variables of the type; lengths scaled.
ORV_VECTOR_INLINE void Convert4(const Frame& f, unsigned needed, double lengthFactor, const double* px, const double* py, const double* pz, double* pr,
                     double* ps, double* pt) {
    const V x = Load(px), y = Load(py), z = Load(pz);
    const V factor = Broadcast(lengthFactor);
    if (f.type == 0) {
        Store(pr, x * factor);
        Store(ps, y * factor);
        Store(pt, z * factor);
        return;
    }
    const V qx = x - f.a[0], qy = y - f.a[1], qz = z - f.a[2];
    const V lx = qx * f.axes[0][0] + qy * f.axes[0][1] + qz * f.axes[0][2];
    const V ly = qx * f.axes[1][0] + qy * f.axes[1][1] + qz * f.axes[1][2];
    const V lz = qx * f.axes[2][0] + qy * f.axes[2][1] + qz * f.axes[2][2];
    const V zero = Broadcast(0.0);
    switch (f.type) {
    case 1:
        Store(pr, (needed & 1u ? Sqrt(lx * lx + ly * ly) : zero) * factor);
        Store(ps, needed & 2u ? Atan2(ly, lx) : zero);
        Store(pt, lz * factor);
        return;
    case 3: {
        const V planar = lx * lx + ly * ly;
        Store(pr, (needed & 1u ? Sqrt(planar + lz * lz) : zero) * factor);
        Store(ps, needed & 2u ? Atan2(Sqrt(planar), lz) : zero);
        Store(pt, needed & 4u ? Atan2(ly, lx) : zero);
        return;
    }
    default:
        Store(pr, lx * factor);
        Store(ps, ly * factor);
        Store(pt, lz * factor);
        return;
    }
}

ORV_RST_CLONES void ConvertBlock(const Frame& f, std::size_t n, const double* x, const double* y, const double* z, unsigned needed,
                                 double lengthFactor, double* r, double* s, double* t) {
    std::size_t i = 0;
    for (; i + kLanes <= n; i += kLanes) Convert4(f, needed, lengthFactor, x + i, y + i, z + i, r + i, s + i, t + i);
    if (i == n) return;
    double in[3][kLanes] = {}, out[3][kLanes];
    const std::size_t rest = n - i;
    for (std::size_t k = 0; k < rest; ++k) {
        in[0][k] = x[i + k];
        in[1][k] = y[i + k];
        in[2][k] = z[i + k];
    }
    Convert4(f, needed, lengthFactor, in[0], in[1], in[2], out[0], out[1], out[2]);
    for (std::size_t k = 0; k < rest; ++k) {
        r[i + k] = out[0][k];
        s[i + k] = out[1][k];
        t[i + k] = out[2][k];
    }
}

}  // namespace

void CCSHelper::ToRstBlock(std::size_t n, const double* x, const double* y, const double* z, unsigned needed, double lengthFactor,
                           double* r, double* s, double* t) const {
    Frame f;
    f.type = type_;
    for (int i = 0; i < 3; ++i) {
        f.a[i] = a_[std::size_t(i)];
        for (int j = 0; j < 3; ++j) f.axes[i][j] = axes_[std::size_t(i)][std::size_t(j)];
    }
    ConvertBlock(f, n, x, y, z, needed, lengthFactor, r, s, t);
}

RstPoint CCSHelper::ToModelRst(const Vector3& p, unsigned needed) const {
    RstPoint rst;
    ToRstBlock(1, &p[0], &p[1], &p[2], needed, 1.0, &rst.r, &rst.s, &rst.t);
    return rst;
}

double RstAtan2(double y, double x) {
    double out[kLanes];
    Store(out, Atan2(Broadcast(y), Broadcast(x)));
    return out[0];
}

}  // namespace DataModelDialogs
