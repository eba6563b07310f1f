#include "demo/demo_calendar.h"

#include "demo/demo_random.h"

#include <algorithm>

namespace {

const QDate kFirstDay(2015, 1, 2);

QDate dayBetween(DemoRandom& random, const QDate& from, const QDate& to) {
    if (to <= from)
        return from;
    return from.addDays(random.between(0, int(from.daysTo(to))));
}

} // namespace

DemoCalendar::DemoCalendar(const QDate& today) {
    // A clock set before the GST start still gives documents after it.
    lastDay_ = std::max(today.addDays(-1), gstStart().addDays(60));
    recentFrom_ = std::max(lastDay_.addDays(-729), gstStart().addDays(1));
}

QDate DemoCalendar::gstStart() {
    return QDate(2015, 4, 1);
}

QDate DemoCalendar::documentDay(DemoRandom& random) const {
    const int draw = random.between(0, 99);
    if (draw < 8)
        return dayBetween(random, kFirstDay, gstStart().addDays(-1));
    if (draw < 12)
        return dayBetween(random, gstStart(), recentFrom_.addDays(-1));
    return dayBetween(random, recentFrom_, lastDay_);
}

QDate DemoCalendar::recentDay(DemoRandom& random) const {
    return dayBetween(random, lastDay_.addDays(-59), lastDay_);
}

QList<QDate> DemoCalendar::salesDays(int count) const {
    QList<QDate> days;
    if (count <= 0)
        return days;
    const int maxBefore = int(kFirstDay.daysTo(gstStart()));
    const int maxRecent = int(gstStart().daysTo(lastDay_));
    const int before = count >= 3 ? std::min(maxBefore, std::max(1, count / 12)) : 0;
    const int onStart = count >= 3 ? 1 : 0;
    const int recent = std::min(maxRecent, count - before - onStart);
    for (int i = before; i >= 1; --i)
        days << gstStart().addDays(-i);
    if (onStart)
        days << gstStart();
    for (int i = recent - 1; i >= 0; --i)
        days << lastDay_.addDays(-i);
    return days;
}
