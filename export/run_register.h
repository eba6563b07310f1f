#pragma once

#include <QString>

class DbConnection;

// Notes in the run register (ACC_EXPORT_RUN) which books a run posted into, as the accounting
// package gave them after the run's login: "Zantro Trading Sdn Bhd (build 5.2024.1007.860)".
// A run the register does not hold (one started without the export lock) is left alone.
void RecordRunPackage(DbConnection& stock, const QString& runId, const QString& package);

// What the register holds of a run's books; empty when nothing was noted.
QString RunPackage(DbConnection& stock, const QString& runId);
