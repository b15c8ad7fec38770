#include "Clock.h"

namespace {
QDateTime &fixedInstant()
{
    static QDateTime instant;
    return instant;
}
} // namespace

QDateTime Clock::now()
{
    const QDateTime &fixed = fixedInstant();
    return fixed.isValid() ? fixed.toLocalTime() : QDateTime::currentDateTime();
}

void Clock::setFixedNow(const QDateTime &instant)
{
    fixedInstant() = instant;
}

void Clock::reset()
{
    fixedInstant() = QDateTime();
}

bool Clock::isFixed()
{
    return fixedInstant().isValid();
}
