#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running: a lock file in the temporary folder named
// after the text "ZANTRO POS ACCOUNTING LINK", held until the process ends. A copy that crashed
// leaves no stuck lock: a lock whose process no longer runs is taken over.
class InstanceGuard {
public:
    InstanceGuard();

    // True when this process now holds the lock; false when another running copy holds it.
    bool acquire();

    static QString lockFilePath();

private:
    QLockFile lock_;
};

inline constexpr char InstanceMutexText[] = "ZANTRO POS ACCOUNTING LINK";
inline constexpr char AlreadyRunningMessage[] = "Program Already Running !!";
