#pragma once

#include "platform/Decimal.h"

#include <optional>

// The four price conversions and the discount, each step one decimal operation rounded by the
// standard rule (4 places, half away from zero), in the order written: line values, summaries
// and their tests depend on that order to the last digit.

// v ÷ (r + 1)
inline Decimal netFromGrossUsingTaxRate(const Decimal &value, const Decimal &rate)
{
    return value.divide(rate.add(Decimal(1)));
}

// v × (r + 1)
inline Decimal grossFromNetUsingTaxRate(const Decimal &value, const Decimal &rate)
{
    return value.multiply(rate.add(Decimal(1)));
}

// v − (v ÷ (r + 1))
inline Decimal taxFromGrossUsingTaxRate(const Decimal &value, const Decimal &rate)
{
    return value.subtract(netFromGrossUsingTaxRate(value, rate));
}

// v × r
inline Decimal taxFromNetUsingTaxRate(const Decimal &value, const Decimal &rate)
{
    return value.multiply(rate);
}

// v − (v × d); v itself without a discount.
inline Decimal valueByApplyingDiscount(const Decimal &value, const std::optional<Decimal> &discount)
{
    if (!discount)
        return value;
    return value.subtract(value.multiply(*discount));
}
