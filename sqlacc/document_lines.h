#pragma once

#include "sqlacc/automation.h"

#include <QString>
#include <cstdint>

// One detail line of a sales or purchase document as its source gives it. Written with the
// package's defaults in mind: an empty text or a zero amount is left unset.
struct DocumentLine {
    QString itemCode;
    QString description;
    double qty = 0; // rounded to a whole number when written
    double unitPrice = 0;
    double disc = 0;
    QString tax; // written also when empty
    double taxAmt = 0;
    bool taxInclusive = false;
};

// A quantity as the package takes it: the nearest whole number, a half to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Throws PostingError beyond the 32-bit range.
std::int32_t RoundQuantity(double qty);

// Writes the detail lines of one new document into its "cdsDocDetail" dataset and numbers them
// DtlKey "-1", "-2", ... in the order written, all with DocKey "-1".
class DocumentLineWriter {
public:
    // account: the line Account of the document kind.
    DocumentLineWriter(AutoObjectPtr detail, QString account);

    // A line from a source row.
    void addLine(const DocumentLine& line);
    // The zero-rated or exempted line of a close day: every field written, also 0 or empty;
    // ItemCode only when itemCode is not empty.
    void addTaxKindLine(const QString& itemCode, const QString& description, double unitPrice,
                        const QString& tax, double taxAmt);
    // A rounding line; ItemCode is set to empty text when clearItemCode is true.
    void addRoundingLine(double amount, bool clearItemCode);

    int lineCount() const { return count_; }

private:
    void appendNumbered();

    AutoObjectPtr detail_;
    QString account_;
    int count_ = 0;
};
