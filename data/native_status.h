#pragma once

#include <QString>
#include <ibase.h>

// The client library's text for the status vector of a failed call, one line per message.
QString NativeStatusText(const ISC_STATUS* status);
