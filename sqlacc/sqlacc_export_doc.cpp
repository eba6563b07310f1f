#include "sqlacc/sqlacc_export_doc.h"

#include "config/settings_file.h"
#include "data/query.h"
#include "sqlacc/business_object.h"
#include "sqlacc/cash_sale_posting.h"
#include "sqlacc/document_lines.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/einvoice_posting.h"
#include "sqlacc/posting_settings.h"
#include "sqlacc/posting_values.h"
#include "sqlacc/receipt_ranges.h"
#include "sqlacc/sqlacc_login.h"
#include "sqlacc/stock_document_posting.h"

#include <cmath>

namespace {

void writeHeader(const AutoObjectPtr& header, const QString& moduleCode, const QString& docId,
                 const QString& docRef, const QString& docDate, const QString& partyCode,
                 double payment, const SettingsFile& settings) {
    const DocumentDefaults defaults = ReadDocumentDefaults(settings);
    setField(header, "DOCKEY", "-1");
    setField(header, "DOCNO", TextValue(docRef));
    setField(header, "DOCDATE", TextValue(docDate));
    setField(header, "POSTDATE", TextValue(docDate));
    setField(header, "TAXDATE", TextValue(docDate));
    setField(header, "CODE", TextValue(partyCode));
    setField(header, "AREA", TextValue(defaults.area));
    setField(header, "AGENT", TextValue(defaults.agent));
    setField(header, "CURRENCYCODE", TextValue(defaults.currency));
    setField(header, "TERMS", TextValue(defaults.terms));
    if (moduleCode == QLatin1String("SL_CS")) {
        setField(header, "P_PAYMENTMETHOD", TextValue(settings.read(Keys::SqlAcc::PaymentAccount)));
        setField(header, "P_AMOUNT", payment);
        setField(header, "P_PAYMENTPROJECT", "----");
    } else if (moduleCode == QLatin1String("SL_IV") || moduleCode == QLatin1String("SL_CN")) {
        setField(header, "DOCREF1", TextValue(docId));
    }
}

} // namespace

bool SQLAccExportDoc(const PostingSources& sources, const QString& ModuleCode, const QString& DocId,
                     const QString& DocRef, const QString& DocDate, const QString& PartyCode,
                     double NetTotal, double Rounding, PostingReadBack* readBack) {
    const SettingsFile settings(SettingsFile::defaultPath());
    const QString exportMode = settings.read(Keys::General::ExportMode);
    const bool byItem = exportMode == QLatin1String(Keys::General::ExportModeByItem);
    const bool bySummary = exportMode == QLatin1String(Keys::General::ExportModeBySummary);
    const bool cashSale = ModuleCode == QLatin1String("SL_CS");

    Query source(&sources.stk);
    PosTaxCodes taxes;
    CashSaleRef ref;
    if (cashSale) {
        ref = SplitCashSaleRef(DocRef);
        source.setSql(byItem ? ReceiptLinesSql(DocId, ref, DocDate) : CloseInfoSql(ref, DocDate));
        taxes = sources.posTaxCodes ? sources.posTaxCodes->get(sources.app)
                                    : ReadPosTaxCodes(sources.app);
    } else {
        source.setSql(StockDocumentSql(ModuleCode, DocId, byItem));
    }
    source.open();
    if (source.isEmpty())
        return false;

    SQLAccLogin();
    const PackageSession& session = CurrentPackageSession();
    const QString itemCode = settings.read(Keys::SqlAcc::ItemCode);
    // The totals description needs exactly "1" and no item code; otherwise it stays empty.
    const QString itemDesc = bySummary && itemCode.trimmed().isEmpty()
                                 ? settings.read(Keys::SqlAcc::ItemDesc)
                                 : QString();
    // What the document totals at its source; a cash sale's payment is the same figure.
    const double sourceTotal = cashSale ? CashSalePayment(NetTotal, Rounding, byItem) : NetTotal;

    BusinessObject document(session.app, ModuleCode.toStdString());
    const AutoObjectPtr header = findDataSet(document, "MainDataSet");
    const AutoObjectPtr detail = findDataSet(document, "cdsDocDetail");
    document->invoke("New");
    writeHeader(header, ModuleCode, DocId, DocRef, DocDate, PartyCode, sourceTotal, settings);
    // A counter-day's cash sale names the receipts it covers, for the consolidated e-invoice.
    ReceiptListTexts receipts;
    if (cashSale && EInvoicePosting(settings, session) && !byItem) {
        receipts =
            ReceiptListTextsOf(CounterDayReceipts(sources.stk, ref.store, ref.counter, DocDate),
                               DocumentDescriptionLength, DocumentDescriptionLength);
        if (!receipts.header.isEmpty())
            setField(header, "DESCRIPTION", TextValue(receipts.header));
    }

    DocumentLineWriter lines(detail, LineForms{LineAccount(settings, ModuleCode), session.build,
                                               settings.read(Keys::SqlAcc::TariffCode).trimmed()});
    const bool purchase = IsPurchaseDocument(ModuleCode);
    for (source.first(); !source.eof(); source.next()) {
        if (cashSale && byItem)
            lines.addLine(ReceiptLine(source, taxes));
        else if (cashSale)
            WriteCloseInfoLines(lines, source, taxes, itemCode, bySummary);
        else if (byItem)
            lines.addLine(StockItemLine(source, purchase, sources.app));
        else
            lines.addLine(StockTotalLine(source, itemCode, itemDesc));
    }
    if (cashSale && byItem && std::fabs(Rounding) > 0)
        lines.addRoundingLine(Rounding, true);
    for (const QString& text : receipts.lines)
        lines.addTextLine(text);

    document->invoke("Save");
    if (readBack)
        ReadBackPostedDocument(document, ModuleCode, DocRef, PartyCode, sourceTotal, *readBack);
    document.close();
    return true;
}
