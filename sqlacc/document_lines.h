#pragma once

#include "sqlacc/automation.h"
#include "sqlacc/package_build.h"

#include <QString>

// One detail line of a sales or purchase document as its source gives it. Written with the
// package's defaults in mind: an empty text or a zero amount is left unset.
struct DocumentLine {
    QString itemCode;
    QString description;
    double qty = 0; // as stored: a weighed 2.5 kg stays 2.5
    double unitPrice = 0;
    double disc = 0; // an amount
    QString tax;     // written also when empty
    double taxAmt = 0;
    bool taxInclusive = false;
};

// What every line of one document carries, and the forms the logged-in package takes.
struct LineForms {
    QString account;    // the line Account of the document kind
    PackageBuild build; // true/false fields take its form
    // TARIFF_CODE: sent on lines without an item code and on lines whose tax code needs a tariff;
    // empty sends none.
    QString tariffCode;
};

// Writes the detail lines of one new document into its "cdsDocDetail" dataset and numbers them
// DtlKey "-1", "-2", ... in the order written, all with DocKey "-1". Quantities and amounts go as
// 8-byte floats, the discount as decimal text. A line without tax carries TAX empty,
// TAXINCLUSIVE false and TAXAMT 0. A tax-inclusive line with a given tax amount is written as
// the package documents it, so that it keeps that tax: TAXINCLUSIVE false, the price, the amount
// before tax and the tax, then TAXINCLUSIVE true with the dataset's controls disabled.
class DocumentLineWriter {
public:
    DocumentLineWriter(AutoObjectPtr detail, LineForms forms);

    // A line from a source row.
    void addLine(const DocumentLine& line);
    // The zero-rated or exempted line of a close day: every field written, also 0 or empty;
    // ItemCode only when itemCode is not empty.
    void addTaxKindLine(const QString& itemCode, const QString& description, double unitPrice,
                        const QString& tax, double taxAmt);
    // A rounding line; ItemCode is set to empty text when clearItemCode is true.
    void addRoundingLine(double amount, bool clearItemCode);
    // A receivable line: no item, the amount before tax and the tax as given (also when 0), the
    // description as stored.
    void addAmountLine(const QString& description, const QString& tax, double amount, double taxAmt,
                       bool taxInclusive);

    // A line of text alone: its description and the document's account, no quantity, price or
    // tax, so it adds nothing to the document's total.
    void addTextLine(const QString& description);

    int lineCount() const { return count_; }

private:
    void appendNumbered();
    void writeTariff(const QString& itemCode, const QString& tax);
    // TAX and what goes with it: for a line without tax, TAXINCLUSIVE false and TAXAMT 0.
    // Returns false when the line has a tax code (its tax is the caller's to write).
    bool writeNoTax(const QString& tax);
    void writeFlag(const char* field, bool value);
    // TAXINCLUSIVE true without the package recalculating the tax just given.
    void switchToInclusiveKeepingTax();

    AutoObjectPtr detail_;
    LineForms forms_;
    int count_ = 0;
};
