#include "sqlacc/document_lines.h"

#include "sqlacc/flag_values.h"
#include "sqlacc/package_code_lists.h"
#include "sqlacc/posting_values.h"

#include <cmath>

namespace {
const char kUom[] = "UNIT";

double roundToCent(double amount) {
    return std::round(amount * 100.0) / 100.0;
}
} // namespace

DocumentLineWriter::DocumentLineWriter(AutoObjectPtr detail, LineForms forms)
    : detail_(std::move(detail)), forms_(std::move(forms)) {}

void DocumentLineWriter::appendNumbered() {
    detail_->invoke("Append");
    ++count_;
    setField(detail_, "DtlKey", TextValue(QStringLiteral("-%1").arg(count_)));
    setField(detail_, "DocKey", "-1");
}

void DocumentLineWriter::writeFlag(const char* field, bool value) {
    setField(detail_, field, FlagValue(forms_.build, field, value));
}

void DocumentLineWriter::writeTariff(const QString& itemCode, const QString& tax) {
    if (forms_.tariffCode.isEmpty())
        return;
    if (itemCode.isEmpty() || TaxCodeNeedsTariff(tax))
        setField(detail_, "TARIFF", TextValue(forms_.tariffCode));
}

bool DocumentLineWriter::writeNoTax(const QString& tax) {
    setField(detail_, "TAX", TextValue(tax));
    if (!tax.isEmpty())
        return false;
    writeFlag("TAXINCLUSIVE", false);
    setField(detail_, "TAXAMT", 0.0);
    return true;
}

void DocumentLineWriter::switchToInclusiveKeepingTax() {
    detail_->invoke("DisableControls");
    writeFlag("TAXINCLUSIVE", true);
    detail_->invoke("EnableControls");
}

void DocumentLineWriter::addLine(const DocumentLine& line) {
    appendNumbered();
    if (!line.itemCode.isEmpty())
        setField(detail_, "ItemCode", TextValue(line.itemCode));
    if (!line.description.isEmpty())
        setField(detail_, "DESCRIPTION", TextValue(line.description));
    if (line.qty != 0)
        setField(detail_, "Qty", line.qty);
    setField(detail_, "UOM", kUom);
    const bool keepGivenTax = line.taxInclusive && line.taxAmt != 0 && !line.tax.isEmpty();
    if (line.unitPrice != 0 && !keepGivenTax)
        setField(detail_, "UnitPrice", line.unitPrice);
    setField(detail_, "Account", TextValue(forms_.account));
    if (line.disc != 0)
        setField(detail_, "DISC", TextValue(DecimalText(line.disc)));
    writeTariff(line.itemCode, line.tax);
    if (writeNoTax(line.tax)) {
        detail_->invoke("Post");
        return;
    }
    if (keepGivenTax) {
        // The price includes the tax: the amount before tax is what is left of it.
        const double gross = roundToCent(roundToCent(line.qty * line.unitPrice) - line.disc);
        writeFlag("TAXINCLUSIVE", false);
        if (line.unitPrice != 0)
            setField(detail_, "UnitPrice", line.unitPrice);
        setField(detail_, "AMOUNT", roundToCent(gross - line.taxAmt));
        setField(detail_, "TAXAMT", line.taxAmt);
        switchToInclusiveKeepingTax();
    } else {
        if (line.taxAmt != 0)
            setField(detail_, "TAXAMT", line.taxAmt);
        if (line.taxInclusive)
            writeFlag("TAXINCLUSIVE", true);
    }
    detail_->invoke("Post");
}

void DocumentLineWriter::addTaxKindLine(const QString& itemCode, const QString& description,
                                        double unitPrice, const QString& tax, double taxAmt) {
    appendNumbered();
    if (!itemCode.isEmpty())
        setField(detail_, "ItemCode", TextValue(itemCode));
    setField(detail_, "DESCRIPTION", TextValue(description));
    setField(detail_, "Account", TextValue(forms_.account));
    setField(detail_, "Qty", 1.0);
    setField(detail_, "UOM", kUom);
    setField(detail_, "UnitPrice", unitPrice);
    writeTariff(itemCode, tax);
    if (!writeNoTax(tax))
        setField(detail_, "TAXAMT", taxAmt);
    detail_->invoke("Post");
}

void DocumentLineWriter::addRoundingLine(double amount, bool clearItemCode) {
    appendNumbered();
    if (clearItemCode)
        setField(detail_, "ItemCode", "");
    setField(detail_, "DESCRIPTION", "ROUNDING");
    setField(detail_, "Account", TextValue(forms_.account));
    setField(detail_, "Qty", 1.0);
    setField(detail_, "UOM", kUom);
    setField(detail_, "UnitPrice", amount);
    writeTariff(QString(), QString());
    writeNoTax(QString());
    detail_->invoke("Post");
}

void DocumentLineWriter::addTextLine(const QString& description) {
    appendNumbered();
    setField(detail_, "DESCRIPTION", TextValue(description));
    setField(detail_, "Account", TextValue(forms_.account));
    writeNoTax(QString());
    detail_->invoke("Post");
}

void DocumentLineWriter::addAmountLine(const QString& description, const QString& tax,
                                       double amount, double taxAmt, bool taxInclusive) {
    appendNumbered();
    setField(detail_, "DESCRIPTION", TextValue(description));
    setField(detail_, "Account", TextValue(forms_.account));
    writeTariff(QString(), tax);
    if (writeNoTax(tax)) {
        setField(detail_, "AMOUNT", amount);
    } else if (taxInclusive) {
        writeFlag("TAXINCLUSIVE", false);
        setField(detail_, "AMOUNT", amount);
        setField(detail_, "TAXAMT", taxAmt);
        switchToInclusiveKeepingTax();
    } else {
        setField(detail_, "TAXAMT", taxAmt);
        setField(detail_, "AMOUNT", amount);
    }
    detail_->invoke("Post");
}
