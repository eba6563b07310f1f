#pragma once

#include <QDateTime>

// Source of "now" for the whole program, so tests can pin the time of day and the date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until told otherwise.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    void set(const QDateTime& at) { at_ = at; }
    void advanceSeconds(qint64 seconds) { at_ = at_.addSecs(seconds); }

private:
    QDateTime at_;
};
