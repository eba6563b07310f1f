#pragma once

#include <QString>
#include <memory>

// A row of a database held locked for as long as the object lives: an UPDATE run in a
// transaction of its own attachment that is never committed. Any other attachment that tries to
// update the same row (another process, another workstation on the same server) gets a lock
// conflict at once instead of waiting. The engine ends the transaction, and with it the lock,
// when the attachment ends: on release, when the process exits or is killed, when a client's
// connection to a server drops. So the lock cannot outlive its holder.
//
// The attachment is the client library's own, apart from the Qt connections, because a held lock
// needs a transaction that does not wait on a conflict, which the Qt driver cannot begin.
class HeldRowLock {
public:
    ~HeldRowLock();
    HeldRowLock(const HeldRowLock&) = delete;
    HeldRowLock& operator=(const HeldRowLock&) = delete;

    // Runs `update` (an UPDATE of one row, values already quoted) on the database of `alias` in a
    // transaction that does not wait. Returns the held lock, or null when another attachment
    // holds the row. Raises DbError with the engine's text for any other failure (no such
    // database, no such table, the statement changed no row).
    static std::unique_ptr<HeldRowLock> TryHold(const QString& alias, const QString& update);

    // Ends the transaction (rolled back: the update only served as the lock) and the attachment.
    void release();

private:
    HeldRowLock() = default;
    struct Handles;
    std::unique_ptr<Handles> handles_;
};
