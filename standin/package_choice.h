#pragma once

// Chooses the accounting package this process posts into, once at start: the real package on
// Windows, the stand-in package elsewhere. For measuring our own share of an export run, the
// environment variable ZANTRO_PACKAGE=null selects a package that accepts every call and keeps
// nothing; it is not one of the program's normal choices.
void ChooseAccountingPackage();
