#pragma once

#include "sqlacc/automation.h"
#include "sqlacc/document_read_back.h"

#include <QDate>
#include <QString>

#include <optional>

// What the source says of a document whose number the package may hold already: the package's
// document with that number is this document only when these agree with it.
struct SourceDocument {
    QString party;               // the customer's or supplier's code in the package
    QDate date;                  // not compared when invalid
    std::optional<double> total; // to the cent; not compared when absent
};

// The package holds a document under this document's number that is another document (another
// party, date or amount). Raised as a refusal of the package: nothing of the document is flagged.
class DocumentClash : public AutomationError {
public:
    using AutomationError::AutomationError;
};

// Empty when the package's document is the source's; otherwise the refusal, naming both sides:
// "The accounting package already holds S001-0000100003 for 400-V0002 dated 05/12/2026, 94.19;
// this document is for 400-V0001, 1,534.35. Give one of them another number in the back office,
// then export it again."
QString DocumentClashText(const QString& docNo, const PackageDocument& held,
                          const SourceDocument& source);

// Looks the document up by its number (and supplier, for purchases) on the business object.
// False when the package does not hold it; true when it holds this very document (left open on
// the business object); raises DocumentClash when the number belongs to another document.
bool PackageHoldsDocument(const AutoObjectPtr& document, const QString& moduleCode,
                          const QString& docNo, const SourceDocument& source);
