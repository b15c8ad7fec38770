#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <stdexcept>

// How a result is rounded to its number of decimal places.
enum class RoundingMode {
    HalfAwayFromZero, // 2.00005 -> 2.0001, -2.00005 -> -2.0001 (the system's default)
    HalfEven,         // bankers' rounding
    Down,             // toward negative infinity
    Up,               // toward positive infinity
    TowardZero,       // truncation
};

// A named rounding: a number of decimal places and a mode.
struct Rounding
{
    int places;
    RoundingMode mode;

    // The system's rule for every arithmetic result: 4 places, half away from zero.
    static constexpr Rounding standard() { return {4, RoundingMode::HalfAwayFromZero}; }
    static constexpr Rounding money() { return {2, RoundingMode::HalfAwayFromZero}; }
    static constexpr Rounding rate() { return {3, RoundingMode::HalfAwayFromZero}; }
};

class DecimalError : public std::runtime_error
{
public:
    enum class Kind { Overflow, DivisionByZero, Syntax };
    DecimalError(Kind kind, const char *what) : std::runtime_error(what), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// An exact base-10 number: a signed coefficient of at most 38 digits and a scale of 0 to 38
// decimal places. Every arithmetic result is rounded at once by a named rounding, by default
// the standard one (4 places, half away from zero). Rounding is never an error; a result whose
// integer part does not fit, and division by zero, throw DecimalError and abandon the
// operation in hand. There is no constructor from binary floating point on purpose.
class Decimal
{
public:
    static constexpr int kMaxDigits = 38;
    static constexpr int kMaxScale = 38;

    constexpr Decimal() = default;
    Decimal(int value) : m_coefficient(value) {}               // NOLINT: exact, implicit on purpose
    Decimal(long long value) : m_coefficient(value) {}         // NOLINT
    Decimal(long value) : m_coefficient(value) {}              // NOLINT

    // value = coefficient × 10^-scale; throws Overflow when it cannot be held.
    static Decimal fromParts(__int128 coefficient, int scale);

    // Plain decimal text: optional sign, digits with one optional "." or ",", optional
    // exponent ("1e3", "2.5E-2"). Surrounding white space is ignored. No rounding happens:
    // the value is kept exactly, or the text is refused.
    static Decimal parse(const QString &text);               // throws Syntax / Overflow
    static bool tryParse(const QString &text, Decimal *out);

    // Arithmetic, each result rounded by the given rule.
    Decimal add(const Decimal &other, Rounding r = Rounding::standard()) const;
    Decimal subtract(const Decimal &other, Rounding r = Rounding::standard()) const;
    Decimal multiply(const Decimal &other, Rounding r = Rounding::standard()) const;
    Decimal divide(const Decimal &other, Rounding r = Rounding::standard()) const;
    // The value itself rounded to fewer places (never to more: the value stays exact).
    Decimal rounded(Rounding r = Rounding::standard()) const;
    Decimal rounded(int places, RoundingMode mode = RoundingMode::HalfAwayFromZero) const
    {
        return rounded(Rounding{places, mode});
    }
    // value × 10^power, exact (used for percent and scaling).
    Decimal scaledByPowerOf10(int power) const;

    Decimal operator+(const Decimal &o) const { return add(o); }
    Decimal operator-(const Decimal &o) const { return subtract(o); }
    Decimal operator*(const Decimal &o) const { return multiply(o); }
    Decimal operator/(const Decimal &o) const { return divide(o); }
    Decimal operator-() const;
    Decimal &operator+=(const Decimal &o) { return *this = add(o); }
    Decimal &operator-=(const Decimal &o) { return *this = subtract(o); }
    Decimal &operator*=(const Decimal &o) { return *this = multiply(o); }
    Decimal &operator/=(const Decimal &o) { return *this = divide(o); }

    Decimal abs() const;
    int sign() const { return m_coefficient > 0 ? 1 : (m_coefficient < 0 ? -1 : 0); }
    bool isZero() const { return m_coefficient == 0; }
    bool isNegative() const { return m_coefficient < 0; }
    bool isInteger() const;

    // Numeric comparison: 1.50 == 1.5.
    std::strong_ordering operator<=>(const Decimal &other) const;
    bool operator==(const Decimal &other) const { return (*this <=> other) == 0; }

    // Plain notation, no exponent, no trailing zeros after the point ("1234.5", "-0.0001", "0").
    QString toString() const;
    // Plain notation with exactly `places` decimals, rounded half away from zero ("1234.50").
    QString toString(int places) const;
    // Integer part, truncated toward zero; throws Overflow when it does not fit.
    long long toLongLong() const;
    // An approximation for display scales and charts only; never feed it back into amounts.
    double toDouble() const;

    __int128 coefficient() const { return m_coefficient; }
    int scale() const { return m_scale; }
    // The same value with trailing zeros of the coefficient removed.
    Decimal normalized() const;

private:
    __int128 m_coefficient = 0;
    int m_scale = 0;
};

// Hash and stream support for containers and test output.
size_t qHash(const Decimal &d, size_t seed = 0) noexcept;
std::ostream &operator<<(std::ostream &os, const Decimal &d);

// Decimals travel in QVariant (stored attributes, template data).
Q_DECLARE_METATYPE(Decimal)
