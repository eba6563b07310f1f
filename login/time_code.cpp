#include "login/time_code.h"

int TimeCode(const QTime& time) {
    // hour+10 and minute+10 always have two digits, so writing one after the other is the same
    // as this sum.
    return (time.hour() + 10) * 100 + (time.minute() + 10);
}

bool WithinLoginHours(int from, int to, int current) {
    return from <= current && current <= to;
}
