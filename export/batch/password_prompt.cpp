#include "export/batch/password_prompt.h"

#include "export/batch/batch_command.h"

#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace {

bool stdinIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

#ifndef Q_OS_WIN
// The terminal's settings while the echo is off, for a stop signal to put back.
std::atomic<bool> echoOff{false};
termios savedTerminal{};
#endif

// Reads one line from the terminal with echo switched off, and puts the echo back.
std::string readWithoutEcho() {
    std::string line;
#ifdef Q_OS_WIN
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool known = GetConsoleMode(input, &mode);
    if (known)
        SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    std::getline(std::cin, line);
    if (known)
        SetConsoleMode(input, mode);
#else
    termios saved{};
    const bool known = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (known) {
        savedTerminal = saved;
        echoOff = true;
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::getline(std::cin, line);
    if (known) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        echoOff = false;
    }
#endif
    return line;
}

} // namespace

QString BatchPassword() {
    if (qEnvironmentVariableIsSet("ZANTRO_PASSWORD"))
        return qEnvironmentVariable("ZANTRO_PASSWORD");
    if (!stdinIsTerminal())
        throw UsageError(QStringLiteral(
            "no password: set ZANTRO_PASSWORD, or run the command on a terminal to be asked"));
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    const std::string line = readWithoutEcho();
    std::fputs("\n", stderr);
    return QString::fromLocal8Bit(line.c_str());
}

void RestoreTerminal() {
#ifndef Q_OS_WIN
    if (echoOff)
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
#endif
}
