#pragma once

#include <QStringList>
#include <QTextStream>

// The batch program: zantro-batch --user CODE COMMAND [ARGUMENTS], or --help. Checks the command
// line, logs the user in (password from ZANTRO_PASSWORD or the terminal), runs the command, and
// gives the exit status (BatchExit: 0 done, 1 refused login or an error outside a run, 2 wrong
// use of the command line, 3 to 7 what became of an export run).
int RunBatchProgram(const QStringList& arguments, QTextStream& out, QTextStream& err);

// The text of zantro-batch --help.
QString BatchHelpText();
