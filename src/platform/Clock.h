#pragma once

#include <QDateTime>

// The one source of "now" for the whole system, so that tests and scripts can fix it.
class Clock
{
public:
    static QDateTime now();               // the fixed instant when one is set, else the system time
    static void setFixedNow(const QDateTime &instant);
    static void reset();                  // back to the system time
    static bool isFixed();
};
