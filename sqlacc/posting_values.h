#pragma once

#include "sqlacc/automation.h"

#include <QString>

// Texts go to the package as UTF-8 strings.
inline AutoValue TextValue(const QString& text) {
    return AutoValue(text.toStdString());
}
