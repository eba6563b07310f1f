#pragma once

#include <QString>
#include <QStringList>

// The nodes of the station window's page tree for an account type, in order. The profile pages
// ("Supplier Profile", "Customer Profile") are never offered.
QStringList StationPageNodes(const QString& accountType);
