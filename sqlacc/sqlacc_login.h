#pragma once

#include "sqlacc/automation.h"

// The accounting package's application object of this process. Empty at start, replaced by
// every SQLAccLogin, released by ReleaseBizApp (at exit). The program never logs out.
extern AutoObjectPtr BizApp;

// Creates a new BizApp (releasing the earlier one) and logs it in with the USERLOGIN, PASSWORD,
// DCF and SALES_TRANSACTION of section SQLACC of Ledvora.ini in the program folder, unless the
// package reports IsLogin already. Returns true; every error of the package (not installed,
// login refused) leaves it unchanged.
bool SQLAccLogin();

// Releases the application object; called when the program ends.
void ReleaseBizApp();
