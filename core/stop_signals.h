#pragma once

#include <functional>

// The program's own handling of the signals that ask a process to stop: SIGTERM (a scheduler or
// a shutdown), SIGINT (Ctrl+C) and SIGHUP (the terminal went away).
//
// Install() blocks them in the calling thread and starts a thread that waits for them, so they
// never run a handler of anybody else's: the database engine's client library installs its own,
// which swallowed them. It must be the first thing main() does, before any other thread starts,
// because threads inherit the blocked set.
//
// What a signal does depends on what the program is doing:
//  - inside a StopAtSafePoint scope (an export run) it only sets Requested(); the work checks it
//    after each document and stops there, with the document in hand posted and flagged;
//  - otherwise `onSignal` decides (a window closes as on File, Exit; the batch command ends at
//    once, as nothing is in hand).
// Only the first signal counts; later ones are ignored while the first is being honoured.
//
// On systems without POSIX signals Install() does nothing.
namespace StopSignals {

// Called on the watching thread with the signal's number, outside any StopAtSafePoint scope.
using Handler = std::function<void(int signalNumber)>;

void Install(Handler onSignal);

// True once a stop signal arrived (or Request() was called).
bool Requested();

// The number of the signal that arrived, 0 before.
int SignalNumber();

// "SIGTERM", "SIGINT", "SIGHUP", or the number as text.
const char* SignalName(int signalNumber);

// As if the signal had arrived: used by tests and by a window's own stop path.
void Request(int signalNumber);

// Forgets an earlier request (tests).
void Reset();

} // namespace StopSignals

// While one exists, a stop signal waits for the work to reach its next safe point instead of
// ending the program at once.
class StopAtSafePoint {
public:
    StopAtSafePoint();
    ~StopAtSafePoint();
    StopAtSafePoint(const StopAtSafePoint&) = delete;
    StopAtSafePoint& operator=(const StopAtSafePoint&) = delete;

    // True while any scope exists (in any thread).
    static bool active();
};
