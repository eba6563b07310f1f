#pragma once

#include <QDate>
#include <QList>

class DemoRandom;

// The days the demo's documents fall on: a few weeks before the GST start date (documents no
// search offers), the start date itself, some days of the years between, and mostly the two
// years up to the day before the generator runs. Counting back from the clock keeps the demo
// recent; the same seed on the same day gives the same days.
class DemoCalendar {
public:
    explicit DemoCalendar(const QDate& today);

    // 1 April 2015, as the demo's settings file holds it.
    static QDate gstStart();
    bool beforeGst(const QDate& day) const { return day < gstStart(); }

    // The last day with documents: yesterday (today's counters are not closed yet).
    QDate lastDay() const { return lastDay_; }

    // A day for a stock or receivable document.
    QDate documentDay(DemoRandom& random) const;
    // A day within the last sixty days.
    QDate recentDay(DemoRandom& random) const;

    // `count` distinct close days for the POS, oldest first: about one in twelve before the GST
    // start date, the start date itself, and the rest the days up to lastDay().
    QList<QDate> salesDays(int count) const;

private:
    QDate lastDay_;
    QDate recentFrom_;
};
