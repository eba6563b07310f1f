#pragma once

#include <QTime>

// A time of day as the login-hour rule compares it: the digits of hour+10 followed by those of
// minute+10, read as a number (09:05 gives 1915, 23:59 gives 3369). Seconds do not count.
int TimeCode(const QTime& time);

// True when the current time code lies in the user's window, both ends included. A window whose
// start is later than its end admits no time at all.
bool WithinLoginHours(int from, int to, int current);
