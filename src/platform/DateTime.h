#pragma once
// TDateTime: days since 30 December 1899 as a double; the fraction is the time of day.
#include <QDate>
#include <QDateTime>

using TDateTime = double;

inline QDate DateTimeEpoch() { return QDate(1899, 12, 30); }

TDateTime DateToDateTime(const QDate& d);
TDateTime QDateTimeToDateTime(const QDateTime& dt);
QDate DateTimeToDate(TDateTime v);
QDateTime DateTimeToQDateTime(TDateTime v);
// Encodes a calendar date; invalid dates give false and leave the result alone.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Weekday with 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime v);
