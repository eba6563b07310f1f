#include "config/ui/optional_date_edit.h"

#include "core/app_context.h"

namespace {

// Shown as blank; no real date of the program lies this early.
const QDate kBlank(1900, 1, 1);

} // namespace

OptionalDateEdit::OptionalDateEdit(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setMinimumDate(kBlank);
    setSpecialValueText(QStringLiteral(" "));
    setDate(kBlank);
}

std::optional<QDate> OptionalDateEdit::value() const {
    if (isBlank())
        return std::nullopt;
    return date();
}

void OptionalDateEdit::setValue(const std::optional<QDate>& value) {
    setDate(value && value->isValid() && *value > kBlank ? *value : kBlank);
}

void OptionalDateEdit::startFromToday() {
    if (isBlank() && !isReadOnly())
        setDate(Now().date());
}

void OptionalDateEdit::stepBy(int steps) {
    if (isBlank() && !isReadOnly()) {
        startFromToday();
        return;
    }
    QDateEdit::stepBy(steps);
}

void OptionalDateEdit::mousePressEvent(QMouseEvent* event) {
    startFromToday();
    QDateEdit::mousePressEvent(event);
}
