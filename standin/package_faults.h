#pragma once

#include <QString>
#include <string>
#include <vector>

// Calls of the stand-in package that are made to fail, for tests: the nth call (counted from
// when the fault was set, over every object of the package) of a member raises the given text.
class PackageFaults {
public:
    void add(const std::string& member, int nth, const std::string& text);
    void clear() { faults_.clear(); }

    // Counts a call of member and throws AutomationError when a fault is due.
    void check(const std::string& member);

    // Faults written as "MEMBER:N:TEXT", several joined by "|" (the environment variable
    // ZANTRO_STANDIN_FAIL). Throws AutomationError for anything else.
    void addFromText(const QString& list);

private:
    struct Fault {
        std::string member;
        int nth;
        std::string text;
        int seen = 0;
    };
    std::vector<Fault> faults_;
};
