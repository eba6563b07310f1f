#pragma once

// Where the accounting package's application object comes from. The program creates a new
// BizApp for every login; tests and the non-Windows executables put their own package here.

#include "sqlacc/automation.h"

#include <functional>

using BizAppFactory = std::function<AutoObjectPtr()>;

// The ProgID under which the accounting package registers its automation server.
inline constexpr const char* BizAppProgId = "SQLAcc.BizApp";

// Replaces the factory that CreateBizApp uses; an empty function restores the platform default
// (on Windows the package's automation server by its ProgID; elsewhere none, so that
// CreateBizApp throws until an executable or test sets one).
void SetBizAppFactory(BizAppFactory factory);

// A new application object of the accounting package. Throws AutomationError when the package
// cannot be created (not installed, not registered, or no factory on this platform).
AutoObjectPtr CreateBizApp();
