#pragma once

#include "core/app_error.h"

#include <QString>
#include <QStringList>

// What the demo generator is asked to make.
struct DemoOptions {
    QString folder;               // --into: the installation folder (the program folder)
    bool empty = false;           // --empty: schema, users and stores only
    int receipts = 400;           // --receipts: POS receipts
    int stockDocuments = 60;      // --stock-docs: stock ledger documents
    int receivableDocuments = 60; // --ar-docs: receivable documents
    quint32 seed = 1;             // --seed: the same seed (on the same day) gives the same data
    bool force = false;           // --force: replace an installation the generator made before
};

// A command line the generator does not understand; the text names the fault and the usage.
class DemoUsageError : public AppError {
public:
    using AppError::AppError;
};

// The usage text of zantro-demo.
QString DemoUsage();

// Reads the arguments that follow the program name. Returns false when --help was asked for.
// Raises DemoUsageError for an unknown option, a missing or malformed value, or no --into.
bool ParseDemoOptions(const QStringList& arguments, DemoOptions& options);
