#pragma once

// The program's version text, shown in the main window's caption and the login dialog.
inline constexpr char ProgramVersion[] = "1.20";
