#include "sqlacc/document_lines.h"

#include "sqlacc/posting_error.h"
#include "sqlacc/posting_values.h"

#include <cmath>
#include <limits>

namespace {
const char kUom[] = "UNIT";
}

std::int32_t RoundQuantity(double qty) {
    double whole = std::floor(qty);
    const double fraction = qty - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max()))
        throw PostingError(QStringLiteral("Quantity %1 is out of range").arg(qty));
    return static_cast<std::int32_t>(whole);
}

DocumentLineWriter::DocumentLineWriter(AutoObjectPtr detail, QString account)
    : detail_(std::move(detail)), account_(std::move(account)) {}

void DocumentLineWriter::appendNumbered() {
    detail_->invoke("Append");
    ++count_;
    setField(detail_, "DtlKey", TextValue(QStringLiteral("-%1").arg(count_)));
    setField(detail_, "DocKey", "-1");
}

void DocumentLineWriter::addLine(const DocumentLine& line) {
    appendNumbered();
    if (!line.itemCode.isEmpty())
        setField(detail_, "ItemCode", TextValue(line.itemCode));
    if (!line.description.isEmpty())
        setField(detail_, "DESCRIPTION", TextValue(line.description));
    const std::int32_t qty = RoundQuantity(line.qty);
    if (qty != 0)
        setField(detail_, "Qty", qty);
    setField(detail_, "UOM", kUom);
    if (line.unitPrice != 0)
        setField(detail_, "UnitPrice", line.unitPrice);
    setField(detail_, "Account", TextValue(account_));
    if (line.disc != 0)
        setField(detail_, "DISC", line.disc);
    setField(detail_, "TAX", TextValue(line.tax));
    if (line.taxAmt != 0)
        setField(detail_, "TAXAMT", line.taxAmt);
    if (line.taxInclusive)
        setField(detail_, "TAXINCLUSIVE", "1");
    detail_->invoke("Post");
}

void DocumentLineWriter::addTaxKindLine(const QString& itemCode, const QString& description,
                                        double unitPrice, const QString& tax, double taxAmt) {
    appendNumbered();
    if (!itemCode.isEmpty())
        setField(detail_, "ItemCode", TextValue(itemCode));
    setField(detail_, "DESCRIPTION", TextValue(description));
    setField(detail_, "Account", TextValue(account_));
    setField(detail_, "Qty", std::int32_t{1});
    setField(detail_, "UOM", kUom);
    setField(detail_, "UnitPrice", unitPrice);
    setField(detail_, "TAX", TextValue(tax));
    setField(detail_, "TAXAMT", taxAmt);
    detail_->invoke("Post");
}

void DocumentLineWriter::addRoundingLine(double amount, bool clearItemCode) {
    appendNumbered();
    if (clearItemCode)
        setField(detail_, "ItemCode", "");
    setField(detail_, "DESCRIPTION", "ROUNDING");
    setField(detail_, "Account", TextValue(account_));
    setField(detail_, "Qty", std::int32_t{1});
    setField(detail_, "UOM", kUom);
    setField(detail_, "UnitPrice", amount);
    setField(detail_, "TAX", "");
    detail_->invoke("Post");
}
