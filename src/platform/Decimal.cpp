#include "Decimal.h"

#include <QHashFunctions>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

constexpr u64 kPow10_64[20] = {1ULL,
                               10ULL,
                               100ULL,
                               1000ULL,
                               10000ULL,
                               100000ULL,
                               1000000ULL,
                               10000000ULL,
                               100000000ULL,
                               1000000000ULL,
                               10000000000ULL,
                               100000000000ULL,
                               1000000000000ULL,
                               10000000000000ULL,
                               100000000000000ULL,
                               1000000000000000ULL,
                               10000000000000000ULL,
                               100000000000000000ULL,
                               1000000000000000000ULL,
                               10000000000000000000ULL};

constexpr u128 pow10_128(int n)
{
    u128 v = 1;
    for (int i = 0; i < n; ++i)
        v *= 10;
    return v;
}

constexpr u128 kCoefficientLimit = pow10_128(Decimal::kMaxDigits); // exclusive

// Unsigned 256-bit magnitude in four 64-bit limbs, little end first. Just enough arithmetic
// for exact intermediate results: a product of two 38-digit coefficients, or one aligned to
// another's scale, always fits.
struct U256
{
    std::array<u64, 4> limb{0, 0, 0, 0};

    static U256 from(u128 v)
    {
        U256 r;
        r.limb[0] = static_cast<u64>(v);
        r.limb[1] = static_cast<u64>(v >> 64);
        return r;
    }
    bool isZero() const { return (limb[0] | limb[1] | limb[2] | limb[3]) == 0; }
    bool fits128() const { return (limb[2] | limb[3]) == 0; }
    bool fits64() const { return (limb[1] | limb[2] | limb[3]) == 0; }
    u128 low128() const { return (static_cast<u128>(limb[1]) << 64) | limb[0]; }

    // *this *= m; false on overflow past 256 bits.
    bool mulSmall(u64 m)
    {
        u64 carry = 0;
        for (auto &l : limb) {
            const u128 p = static_cast<u128>(l) * m + carry;
            l = static_cast<u64>(p);
            carry = static_cast<u64>(p >> 64);
        }
        return carry == 0;
    }

    // *this /= d; returns the remainder.
    u64 divSmall(u64 d)
    {
        u128 rem = 0;
        for (int i = 3; i >= 0; --i) {
            const u128 cur = (rem << 64) | limb[static_cast<size_t>(i)];
            limb[static_cast<size_t>(i)] = static_cast<u64>(cur / d);
            rem = cur % d;
        }
        return static_cast<u64>(rem);
    }

    bool add(const U256 &o)
    {
        u64 carry = 0;
        for (size_t i = 0; i < 4; ++i) {
            const u128 s = static_cast<u128>(limb[i]) + o.limb[i] + carry;
            limb[i] = static_cast<u64>(s);
            carry = static_cast<u64>(s >> 64);
        }
        return carry == 0;
    }

    // *this -= o; requires *this >= o.
    void sub(const U256 &o)
    {
        u64 borrow = 0;
        for (size_t i = 0; i < 4; ++i) {
            const u64 a = limb[i];
            const u64 b = o.limb[i];
            const u64 d1 = a - b;
            const u64 b1 = a < b ? 1 : 0;
            const u64 d2 = d1 - borrow;
            const u64 b2 = d1 < borrow ? 1 : 0;
            limb[i] = d2;
            borrow = b1 | b2;
        }
    }

    int compare(const U256 &o) const
    {
        for (int i = 3; i >= 0; --i) {
            const auto a = limb[static_cast<size_t>(i)];
            const auto b = o.limb[static_cast<size_t>(i)];
            if (a != b)
                return a < b ? -1 : 1;
        }
        return 0;
    }

    void shiftLeft1()
    {
        for (int i = 3; i > 0; --i)
            limb[static_cast<size_t>(i)] = (limb[static_cast<size_t>(i)] << 1) | (limb[static_cast<size_t>(i - 1)] >> 63);
        limb[0] <<= 1;
    }

    int bitLength() const
    {
        for (int i = 3; i >= 0; --i) {
            if (limb[static_cast<size_t>(i)] != 0)
                return i * 64 + 64 - __builtin_clzll(limb[static_cast<size_t>(i)]);
        }
        return 0;
    }

    bool bit(int n) const { return (limb[static_cast<size_t>(n / 64)] >> (n % 64)) & 1U; }
    void setBit(int n) { limb[static_cast<size_t>(n / 64)] |= (u64{1} << (n % 64)); }

    static U256 mul(u128 a, u128 b)
    {
        const u64 a0 = static_cast<u64>(a), a1 = static_cast<u64>(a >> 64);
        const u64 b0 = static_cast<u64>(b), b1 = static_cast<u64>(b >> 64);
        U256 r;
        const u128 p00 = static_cast<u128>(a0) * b0;
        const u128 p01 = static_cast<u128>(a0) * b1;
        const u128 p10 = static_cast<u128>(a1) * b0;
        const u128 p11 = static_cast<u128>(a1) * b1;
        r.limb[0] = static_cast<u64>(p00);
        u128 mid = (p00 >> 64) + static_cast<u64>(p01) + static_cast<u64>(p10);
        r.limb[1] = static_cast<u64>(mid);
        u128 high = (mid >> 64) + (p01 >> 64) + (p10 >> 64) + static_cast<u64>(p11);
        r.limb[2] = static_cast<u64>(high);
        r.limb[3] = static_cast<u64>((high >> 64) + (p11 >> 64));
        return r;
    }

    // Quotient and remainder of n / d (d != 0), by binary long division; used only when the
    // divisor is wider than 64 bits.
    static void divMod(const U256 &n, const U256 &d, U256 &q, U256 &r)
    {
        q = U256();
        r = U256();
        for (int i = n.bitLength() - 1; i >= 0; --i) {
            r.shiftLeft1();
            if (n.bit(i))
                r.limb[0] |= 1;
            if (r.compare(d) >= 0) {
                r.sub(d);
                q.setBit(i);
            }
        }
    }
};

// Multiplies by 10^k; false on overflow.
bool mulPow10(U256 &v, int k)
{
    while (k > 0) {
        const int step = std::min(k, 19);
        if (!v.mulSmall(kPow10_64[step]))
            return false;
        k -= step;
    }
    return true;
}

// Whether a rounding of a magnitude with the given dropped digits goes one up.
bool roundsUp(RoundingMode mode, bool negative, u64 firstDropped, bool sticky, bool kept_odd)
{
    const bool inexact = firstDropped != 0 || sticky;
    switch (mode) {
    case RoundingMode::HalfAwayFromZero:
        return firstDropped >= 5;
    case RoundingMode::HalfEven:
        return firstDropped > 5 || (firstDropped == 5 && (sticky || kept_odd));
    case RoundingMode::Down:
        return negative && inexact;
    case RoundingMode::Up:
        return !negative && inexact;
    case RoundingMode::TowardZero:
        return false;
    }
    return false;
}

// Drops k low decimal digits of the magnitude, rounding by mode.
void dropDigits(U256 &mag, int k, bool negative, RoundingMode mode)
{
    if (k <= 0)
        return;
    bool sticky = false;
    while (k > 1) {
        const int step = std::min(k - 1, 19);
        sticky |= mag.divSmall(kPow10_64[step]) != 0;
        k -= step;
    }
    const u64 first = mag.divSmall(10);
    if (roundsUp(mode, negative, first, sticky, (mag.limb[0] & 1U) != 0))
        mag.add(U256::from(1));
}

struct Signed
{
    bool negative = false;
    U256 mag;
};

u128 magnitudeOf(__int128 c)
{
    return c < 0 ? static_cast<u128>(-(c + 1)) + 1 : static_cast<u128>(c);
}

[[noreturn]] void overflow()
{
    throw DecimalError(DecimalError::Kind::Overflow, "decimal overflow");
}

// Rounds an exact value (magnitude at the given scale) to the rounding's places and makes the
// final Decimal: the scale becomes min(scale, places), the coefficient must fit 38 digits.
Decimal finish(const Signed &v, int scale, Rounding r)
{
    U256 mag = v.mag;
    int s = scale;
    const int places = std::clamp(r.places, 0, Decimal::kMaxScale);
    if (s > places) {
        dropDigits(mag, s - places, v.negative, r.mode);
        s = places;
    }
    if (!mag.fits128() || mag.low128() >= kCoefficientLimit)
        overflow();
    const u128 m = mag.low128();
    const __int128 c = v.negative ? -static_cast<__int128>(m) : static_cast<__int128>(m);
    return Decimal::fromParts(c, s);
}

Signed toSigned(__int128 c)
{
    return {c < 0, U256::from(magnitudeOf(c))};
}

} // namespace

Decimal Decimal::fromParts(__int128 coefficient, int scale)
{
    if (scale < 0) {
        U256 m = U256::from(magnitudeOf(coefficient));
        if (!mulPow10(m, -scale) || !m.fits128() || m.low128() >= kCoefficientLimit)
            overflow();
        const __int128 v = static_cast<__int128>(m.low128());
        coefficient = coefficient < 0 ? -v : v;
        scale = 0;
    }
    if (magnitudeOf(coefficient) >= kCoefficientLimit)
        overflow();
    while (scale > kMaxScale) {
        // Digits beyond the finest scale cannot be kept exactly.
        if (coefficient % 10 != 0)
            throw DecimalError(DecimalError::Kind::Syntax, "too many decimal places");
        coefficient /= 10;
        --scale;
    }
    Decimal d;
    d.m_coefficient = coefficient;
    d.m_scale = scale;
    return d;
}

Decimal Decimal::add(const Decimal &other, Rounding r) const
{
    const int s = std::max(m_scale, other.m_scale);
    Signed a = toSigned(m_coefficient);
    Signed b = toSigned(other.m_coefficient);
    mulPow10(a.mag, s - m_scale); // cannot overflow: at most 10^76
    mulPow10(b.mag, s - other.m_scale);
    Signed result;
    if (a.negative == b.negative) {
        result.negative = a.negative;
        result.mag = a.mag;
        result.mag.add(b.mag);
    } else if (a.mag.compare(b.mag) >= 0) {
        result.negative = a.negative;
        result.mag = a.mag;
        result.mag.sub(b.mag);
    } else {
        result.negative = b.negative;
        result.mag = b.mag;
        result.mag.sub(a.mag);
    }
    if (result.mag.isZero())
        result.negative = false;
    return finish(result, s, r);
}

Decimal Decimal::subtract(const Decimal &other, Rounding r) const
{
    return add(-other, r);
}

Decimal Decimal::multiply(const Decimal &other, Rounding r) const
{
    Signed p;
    p.mag = U256::mul(magnitudeOf(m_coefficient), magnitudeOf(other.m_coefficient));
    p.negative = (m_coefficient < 0) != (other.m_coefficient < 0) && !p.mag.isZero();
    return finish(p, m_scale + other.m_scale, r);
}

Decimal Decimal::divide(const Decimal &other, Rounding r) const
{
    if (other.m_coefficient == 0)
        throw DecimalError(DecimalError::Kind::DivisionByZero, "decimal division by zero");
    const int places = std::clamp(r.places, 0, kMaxScale);
    const bool negative = (m_coefficient < 0) != (other.m_coefficient < 0);

    // The quotient's coefficient at `places` is n / d with n = a × 10^e, e = places + sb - sa.
    U256 n = U256::from(magnitudeOf(m_coefficient));
    U256 d = U256::from(magnitudeOf(other.m_coefficient));
    const int e = places + other.m_scale - m_scale;
    if (e >= 0) {
        // Past 256 bits the quotient exceeds 10^38 whatever the divisor (< 2^127).
        if (!mulPow10(n, e))
            overflow();
    } else {
        mulPow10(d, -e); // at most 10^76
    }

    U256 q, rem;
    bool remNonZero = false;
    int cmpHalf = -1; // remainder compared with half the divisor
    if (d.fits64()) {
        q = n;
        const u64 dv = d.limb[0];
        const u64 rv = q.divSmall(dv);
        remNonZero = rv != 0;
        const u128 twice = static_cast<u128>(rv) * 2;
        cmpHalf = twice < dv ? -1 : (twice == dv ? 0 : 1);
    } else {
        U256::divMod(n, d, q, rem);
        remNonZero = !rem.isZero();
        U256 twice = rem;
        const bool fits = twice.add(rem);
        cmpHalf = !fits ? 1 : twice.compare(d);
    }

    bool up = false;
    switch (r.mode) {
    case RoundingMode::HalfAwayFromZero:
        up = cmpHalf >= 0;
        break;
    case RoundingMode::HalfEven:
        up = cmpHalf > 0 || (cmpHalf == 0 && (q.limb[0] & 1U));
        break;
    case RoundingMode::Down:
        up = negative && remNonZero;
        break;
    case RoundingMode::Up:
        up = !negative && remNonZero;
        break;
    case RoundingMode::TowardZero:
        break;
    }
    if (up)
        q.add(U256::from(1));
    Signed result{negative && !q.isZero(), q};
    return finish(result, places, r);
}

Decimal Decimal::rounded(Rounding r) const
{
    return finish(toSigned(m_coefficient), m_scale, r);
}

Decimal Decimal::scaledByPowerOf10(int power) const
{
    if (power == 0)
        return *this;
    if (power < 0)
        return fromParts(m_coefficient, m_scale - power);
    const int fromScale = std::min(power, m_scale);
    Decimal d = fromParts(m_coefficient, m_scale - fromScale);
    const int rest = power - fromScale;
    return rest == 0 ? d : fromParts(d.m_coefficient, -rest);
}

Decimal Decimal::operator-() const
{
    Decimal d;
    d.m_coefficient = -m_coefficient;
    d.m_scale = m_scale;
    return d;
}

Decimal Decimal::abs() const
{
    return m_coefficient < 0 ? -*this : *this;
}

bool Decimal::isInteger() const
{
    if (m_scale == 0)
        return true;
    const u128 m = magnitudeOf(m_coefficient);
    return m % pow10_128(m_scale) == 0;
}

std::strong_ordering Decimal::operator<=>(const Decimal &other) const
{
    if (sign() != other.sign())
        return sign() <=> other.sign();
    const int s = std::max(m_scale, other.m_scale);
    U256 a = U256::from(magnitudeOf(m_coefficient));
    U256 b = U256::from(magnitudeOf(other.m_coefficient));
    mulPow10(a, s - m_scale);
    mulPow10(b, s - other.m_scale);
    int c = a.compare(b);
    if (m_coefficient < 0)
        c = -c;
    return c <=> 0;
}

Decimal Decimal::normalized() const
{
    Decimal d = *this;
    while (d.m_scale > 0 && d.m_coefficient % 10 == 0) {
        d.m_coefficient /= 10;
        --d.m_scale;
    }
    if (d.m_coefficient == 0)
        d.m_scale = 0;
    return d;
}

namespace {

QString digitsOf(u128 m)
{
    if (m == 0)
        return QStringLiteral("0");
    char buf[48];
    int pos = 47;
    buf[pos] = '\0';
    while (m != 0) {
        buf[--pos] = static_cast<char>('0' + static_cast<int>(m % 10));
        m /= 10;
    }
    return QString::fromLatin1(buf + pos);
}

QString plainText(__int128 coefficient, int scale)
{
    QString digits = digitsOf(magnitudeOf(coefficient));
    if (scale > 0) {
        if (digits.size() <= scale)
            digits.prepend(QString(scale - digits.size() + 1, QLatin1Char('0')));
        digits.insert(digits.size() - scale, QLatin1Char('.'));
    }
    if (coefficient < 0)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

} // namespace

QString Decimal::toString() const
{
    const Decimal n = normalized();
    return plainText(n.m_coefficient, n.m_scale);
}

QString Decimal::toString(int places) const
{
    places = std::clamp(places, 0, kMaxScale);
    Decimal r = rounded(places);
    if (r.m_scale < places) {
        U256 m = U256::from(magnitudeOf(r.m_coefficient));
        if (!mulPow10(m, places - r.m_scale) || !m.fits128() || m.low128() >= kCoefficientLimit) {
            // Too many digits to pad: the exact text without padding is still right.
            return r.toString();
        }
        const __int128 v = static_cast<__int128>(m.low128());
        return plainText(r.m_coefficient < 0 ? -v : v, places);
    }
    return plainText(r.m_coefficient, r.m_scale);
}

long long Decimal::toLongLong() const
{
    __int128 v = m_coefficient;
    if (m_scale > 0)
        v /= static_cast<__int128>(pow10_128(m_scale));
    if (v > std::numeric_limits<long long>::max() || v < std::numeric_limits<long long>::min())
        overflow();
    return static_cast<long long>(v);
}

double Decimal::toDouble() const
{
    return toString().toDouble();
}

Decimal Decimal::parse(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    const int n = static_cast<int>(t.size());
    bool negative = false;
    if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    U256 mag;
    int significant = 0;
    int fractionDigits = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            seenDigit = true;
            const int digit = c.unicode() - '0';
            if (significant > 0 || digit != 0)
                ++significant;
            if (significant > kMaxDigits + kMaxScale)
                throw DecimalError(DecimalError::Kind::Overflow, "too many digits");
            mag.mulSmall(10);
            mag.add(U256::from(static_cast<u128>(digit)));
            if (seenPoint)
                ++fractionDigits;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        throw DecimalError(DecimalError::Kind::Syntax, "not a number");
    long exponent = 0;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
            expNegative = t[i] == QLatin1Char('-');
            ++i;
        }
        bool expDigit = false;
        for (; i < n && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i) {
            expDigit = true;
            exponent = exponent * 10 + (t[i].unicode() - '0');
            if (exponent > 1000)
                throw DecimalError(DecimalError::Kind::Overflow, "exponent out of range");
        }
        if (!expDigit)
            throw DecimalError(DecimalError::Kind::Syntax, "not a number");
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        throw DecimalError(DecimalError::Kind::Syntax, "not a number");

    long scale = fractionDigits - exponent;
    // Trailing zeros beyond the finest scale carry no value.
    while (scale > kMaxScale && !mag.isZero()) {
        U256 copy = mag;
        if (copy.divSmall(10) != 0)
            throw DecimalError(DecimalError::Kind::Syntax, "too many decimal places");
        mag = copy;
        --scale;
    }
    if (mag.isZero())
        return Decimal();
    if (scale < 0) {
        if (-scale > 2 * kMaxDigits || !mulPow10(mag, static_cast<int>(-scale)))
            overflow();
        scale = 0;
    }
    if (!mag.fits128() || mag.low128() >= kCoefficientLimit)
        overflow();
    const __int128 v = static_cast<__int128>(mag.low128());
    return fromParts(negative ? -v : v, static_cast<int>(scale));
}

bool Decimal::tryParse(const QString &text, Decimal *out)
{
    try {
        const Decimal d = parse(text);
        if (out)
            *out = d;
        return true;
    } catch (const DecimalError &) {
        return false;
    }
}

size_t qHash(const Decimal &d, size_t seed) noexcept
{
    return qHash(d.toString(), seed);
}

std::ostream &operator<<(std::ostream &os, const Decimal &d)
{
    return os << d.toString().toStdString();
}
