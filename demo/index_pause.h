#pragma once

#include <QStringList>

class DbConnection;

// Switches off the secondary indexes of a database (those that are not unique and back no key or
// constraint) while many rows go in, and rebuilds them afterwards: one sorted build of an index
// costs far less than updating it row by row. Keys and unique indexes stay on, so duplicates are
// still refused at once.
class SecondaryIndexPause {
public:
    explicit SecondaryIndexPause(DbConnection& connection);
    // Rebuilds the indexes unless resume() has done so (a failure there is not raised again).
    ~SecondaryIndexPause();
    SecondaryIndexPause(const SecondaryIndexPause&) = delete;
    SecondaryIndexPause& operator=(const SecondaryIndexPause&) = delete;

    // Rebuilds the indexes; raises the engine's error.
    void resume();

private:
    DbConnection& connection_;
    QStringList paused_;
};
