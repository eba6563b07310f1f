#pragma once

#include "sqlacc/automation.h"

#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>

// A document as a posting routine would send it, gathered without sending it: the fields it
// writes on the header and on each line, and the knock-offs it looks for. Field names are kept
// in upper case; values as the routine wrote them.
struct CapturedDocument {
    QString bizObject; // the business object the routine took ("SL_CS", "SL_IV" ...)
    // The routine found the document in the package by its number and would update it there
    // (a receivables document posted before) rather than create it.
    bool updatesExisting = false;
    QMap<QString, AutoValue> header;
    QList<QMap<QString, AutoValue>> lines;
    // The documents a payment or credit note would settle: the package's type ("IV", "CN", "DN")
    // and number, in the order the routine looked for them.
    struct KnockOff {
        QString type;
        QString number;
    };
    QList<KnockOff> knockOffs;

    // A header or line field as text (trimmed); empty when not written.
    QString headerText(const char* field) const;
    static QString text(const QMap<QString, AutoValue>& fields, const char* field);
    // The document's total as the package reckons it from the lines (amount before tax, less the
    // discount, plus the tax, given or at the tax code's rate), or DOCAMT when it has no lines.
    double total(const std::function<double(const QString& taxCode)>& rateOf) const;
};

// An accounting package that takes down what a posting routine writes instead of saving it:
// every business object, dataset and field it hands out writes into the CapturedDocument of the
// document in hand. Lookups of documents by number (FindKeyByRef) are asked of the real package,
// and a record the routine opens (to update a document posted before) is opened there too and
// its header read from it, so a routine takes the same path it would take when posting; Save,
// Edit and every write stay here. Locate on the knock-off list is noted and answers "not found".
class DocumentCapture : public AutoObject {
public:
    explicit DocumentCapture(AutoObjectPtr package);
    ~DocumentCapture() override;

    AutoValue invoke(const std::string& member, const std::vector<AutoValue>& args = {}) override;
    void put(const std::string& property, const AutoValue& value) override;

    // Starts a new document: what was taken down so far is dropped.
    void clear();
    const CapturedDocument& document() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};
