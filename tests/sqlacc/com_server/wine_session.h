#pragma once

// Windows programs run under Wine in a prefix of their own, with no display: Wine's debug output
// off and the Mono and Gecko installers that a new prefix would offer left out.

#include <QString>
#include <QStringList>

class WineSession {
public:
    // Finds wine64 and wineserver (/usr/lib/wine, then the search path); an empty error() when
    // both are there.
    explicit WineSession(QString prefix);
    QString error() const { return error_; }

    struct Result {
        int exitCode = -1; // -1: did not end in time, or could not start
        QString output;    // standard output and standard error, in that order
        double seconds = 0;
    };
    // Makes the prefix when it is missing (the first time takes a while) and stops whatever an
    // earlier run left running in it; returns the seconds it took.
    double prepare();
    // wine64 program arguments...
    Result run(const QStringList& arguments, int timeoutMs = 60000) const;
    // Stops every process of the prefix.
    void stop() const;

    // A path of this machine as Windows programs under Wine see it.
    static QString windowsPath(const QString& path);

private:
    QStringList environment() const;

    QString prefix_;
    QString wine_;
    QString wineserver_;
    QString error_;
};
