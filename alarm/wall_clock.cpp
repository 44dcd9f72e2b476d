#include "alarm/wall_clock.h"

namespace {

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

int64_t wallSeconds(const SystemTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * SECONDS_PER_DAY + t.hour * 3600 + t.minute * 60 +
           t.second;
}

SystemTime wallTimeAt(int64_t seconds) {
    int64_t days = seconds / SECONDS_PER_DAY;
    int64_t ofDay = seconds % SECONDS_PER_DAY;
    if (ofDay < 0) {
        ofDay += SECONDS_PER_DAY;
        --days;
    }
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    SystemTime t = {};
    t.year = static_cast<uint16_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    t.dayOfWeek = static_cast<uint16_t>(((days % 7) + 11) % 7); // 1 January 1970 was a Thursday
    t.hour = static_cast<uint16_t>(ofDay / 3600);
    t.minute = static_cast<uint16_t>(ofDay / 60 % 60);
    t.second = static_cast<uint16_t>(ofDay % 60);
    return t;
}

bool isWallTime(const SystemTime& t) {
    if (t.year == 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59 ||
        t.second > 59)
        return false;
    // A day past the month's end would roll into the next month.
    SystemTime back = wallTimeAt(wallSeconds(t));
    return back.day == t.day && back.month == t.month;
}
