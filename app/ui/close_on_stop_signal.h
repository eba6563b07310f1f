#pragma once

#include <functional>

class QObject;

// Makes the window program end on a stop signal (SIGTERM, SIGINT, SIGHUP) as on File, Exit,
// without cutting an export run short of the document in hand. Checks a few times a second:
//  - while an export run or its messages are on screen, it only answers the progress window and
//    the message boxes (as Cancel, OK or No would), and the run stops after its document;
//  - otherwise it closes the open dialogs one by one, from the top, and then calls `exit`.
// StopSignals::Install must have been called first thing in main().
void CloseOnStopSignal(QObject* owner, std::function<void()> exit);
