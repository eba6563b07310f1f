#pragma once

#include <QSqlDatabase>

// Stopping a statement that runs on another thread's connection: the engine's own cancel of the
// operation in progress on an attachment (fb_cancel_operation), which makes that statement fail
// with "operation was cancelled" so its thread can roll back. The connection stays usable.

// The engine's handle of the connection's attachment, or 0 when it is not open. Taken on the
// connection's own thread.
unsigned int AttachmentHandle(const QSqlDatabase& database);

// Asks the engine to cancel whatever the attachment is running now. Safe from any thread; does
// nothing when the attachment runs nothing.
void CancelRunningStatement(unsigned int attachmentHandle);

// True when the error is the engine's report of a cancelled operation.
bool IsCancelledOperation(const class QSqlError& error);
