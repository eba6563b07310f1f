#pragma once

#include <QIcon>

// The program's icon, a point-of-sale terminal, drawn at every size a window or list needs.
QIcon ProgramIcon();
