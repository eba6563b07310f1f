#include "core/stop_signals.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <pthread.h>
#define ZANTRO_POSIX_SIGNALS 1
#endif

namespace {

std::atomic<int> arrived{0};
// Guards the decision "defer or hand over" against a scope that begins at the same moment.
std::mutex decision;
int safePointScopes = 0;
StopSignals::Handler handler;

void deliver(int signalNumber) {
    std::lock_guard<std::mutex> lock(decision);
    int expected = 0;
    if (!arrived.compare_exchange_strong(expected, signalNumber))
        return; // a stop is already under way
    if (safePointScopes > 0 || !handler)
        return; // the work stops at its next safe point
    handler(signalNumber);
}

#ifdef ZANTRO_POSIX_SIGNALS
sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}
#endif

} // namespace

namespace StopSignals {

void Install(Handler onSignal) {
    {
        std::lock_guard<std::mutex> lock(decision);
        handler = std::move(onSignal);
    }
#ifdef ZANTRO_POSIX_SIGNALS
    static std::once_flag started;
    std::call_once(started, [] {
        const sigset_t set = stopSet();
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        std::thread([set] {
            for (;;) {
                int signalNumber = 0;
                if (sigwait(&set, &signalNumber) == 0)
                    deliver(signalNumber);
            }
        }).detach();
    });
#endif
}

bool Requested() {
    return arrived.load() != 0;
}

int SignalNumber() {
    return arrived.load();
}

const char* SignalName(int signalNumber) {
#ifdef ZANTRO_POSIX_SIGNALS
    switch (signalNumber) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    default:
        break;
    }
#endif
    static thread_local char text[16];
    std::snprintf(text, sizeof text, "signal %d", signalNumber);
    return text;
}

void Request(int signalNumber) {
    deliver(signalNumber);
}

void Reset() {
    arrived.store(0);
}

} // namespace StopSignals

StopAtSafePoint::StopAtSafePoint() {
    std::lock_guard<std::mutex> lock(decision);
    ++safePointScopes;
}

StopAtSafePoint::~StopAtSafePoint() {
    std::lock_guard<std::mutex> lock(decision);
    --safePointScopes;
}

bool StopAtSafePoint::active() {
    std::lock_guard<std::mutex> lock(decision);
    return safePointScopes > 0;
}
