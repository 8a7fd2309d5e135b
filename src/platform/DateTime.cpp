#include "platform/DateTime.h"
#include <cmath>

TDateTime DateToDateTime(const QDate& d)
{
    return static_cast<double>(DateTimeEpoch().daysTo(d));
}

TDateTime QDateTimeToDateTime(const QDateTime& dt)
{
    const double days = DateToDateTime(dt.date());
    const double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the fraction counts forwards from the (negative) day, as stored.
    return days >= 0 ? days + frac : days - frac;
}

QDate DateTimeToDate(TDateTime v)
{
    return DateTimeEpoch().addDays(static_cast<qint64>(std::trunc(v)));
}

QDateTime DateTimeToQDateTime(TDateTime v)
{
    const double whole = std::trunc(v);
    const double frac = std::fabs(v - whole);
    qint64 ms = std::llround(frac * 86400000.0);
    QDate d = DateTimeToDate(v);
    if (ms >= 86400000) {
        ms -= 86400000;
        d = d.addDays(1);
    }
    return QDateTime(d, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    const QDate d(year, month, day);
    if (!d.isValid())
        return false;
    result = DateToDateTime(d);
    return true;
}

int DayOfWeek(TDateTime v)
{
    return DateTimeToDate(v).dayOfWeek() % 7 + 1; // Qt: Monday 1 .. Sunday 7
}
