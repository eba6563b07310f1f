#pragma once

#include "sqlacc/automation.h"

#include <QString>

// Texts go to the package as UTF-8 strings.
inline AutoValue TextValue(const QString& text) {
    return AutoValue(text.toStdString());
}

// An amount as plain decimal text, rounded to the cent, without trailing zeros and with "." as
// the decimal point whatever the machine's settings: 0.5 gives "0.5", 12 gives "12". For the
// fields the package takes as text, such as a line's discount (DISC).
QString DecimalText(double amount);
