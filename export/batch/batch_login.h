#pragma once

#include "login/login_identity.h"

#include <QTextStream>
#include <optional>

class TdmMMGroupAccess;

// The login of the batch command: the checks of the login dialog in their order, on the code and
// password taken in upper case as the dialog's boxes take them. An accepted login loads the user
// queries and writes the "Login" line of the activity log (an error of the log is printed and
// the login stands). A refused login prints the dialog's text on `err` and gives nothing.
std::optional<LoginIdentity> BatchLogin(TdmMMGroupAccess& groupAccess, const QString& code,
                                        const QString& password, QTextStream& err);
