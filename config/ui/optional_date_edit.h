#pragma once

#include <QDateEdit>

#include <optional>

// A day-first date box that can also be blank: a date that could not be loaded shows as nothing
// instead of a made-up day, and stays blank (and so is not written back) until the user enters
// one. Stepping or clicking a blank box starts from today.
class OptionalDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget* parent = nullptr);

    std::optional<QDate> value() const;
    void setValue(const std::optional<QDate>& date);
    bool isBlank() const { return date() == minimumDate(); }

protected:
    void stepBy(int steps) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void startFromToday();
};
