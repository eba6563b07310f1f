#pragma once

#include <QIcon>

// The picture of the Paste command: a clipboard with a sheet on it.
QIcon PasteIcon();
