#include "standin/package_faults.h"

#include "sqlacc/automation.h"

#include <QStringList>

void PackageFaults::add(const std::string& member, int nth, const std::string& text) {
    faults_.push_back({member, nth, text});
}

void PackageFaults::check(const std::string& member) {
    for (Fault& fault : faults_) {
        if (SameMemberName(fault.member, member) && ++fault.seen == fault.nth)
            throw AutomationError(fault.text);
    }
}

void PackageFaults::addFromText(const QString& list) {
    const QStringList entries = list.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        const QString member = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        bool ok = false;
        const int nth = entry.section(QLatin1Char(':'), 1, 1).trimmed().toInt(&ok);
        const QString text = entry.section(QLatin1Char(':'), 2);
        if (member.isEmpty() || !ok || nth < 1 || entry.count(QLatin1Char(':')) < 2)
            throw AutomationError("The stand-in package's fault \"" + entry.toStdString() +
                                  "\" does not read MEMBER:N:TEXT (for example Save:3:Disk full)");
        add(member.toStdString(), nth, text.toStdString());
    }
}
