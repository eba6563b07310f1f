#include "sqlacc/sqlacc_export_ar.h"

#include "config/settings_file.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "sqlacc/business_object.h"
#include "sqlacc/document_identity.h"
#include "sqlacc/document_lines.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/flag_values.h"
#include "sqlacc/posting_settings.h"
#include "sqlacc/posting_values.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_login.h"

#include <QScopeGuard>

namespace {

bool isPayment(const QString& moduleCode) {
    return moduleCode == QLatin1String("AR_PM");
}

bool takesKnockOff(const QString& moduleCode) {
    return isPayment(moduleCode) || moduleCode == QLatin1String("AR_CN");
}

bool importedFromPos(DbConnection& ar, const QString& docId) {
    RowReader imported(ar, QStringLiteral("SELECT TD_REFERENCE, TD_CUSTID FROM AR_TRANS WHERE "
                                          "TD_DOCNO =") +
                               QuotedStr(docId) + QStringLiteral(" AND TD_IMPORT=") +
                               QuotedStr(QStringLiteral("T")));
    return imported.next();
}

void writeNewHeader(const AutoObjectPtr& header, const QString& moduleCode, const QString& docRef,
                    const QString& docDate, const QString& partyCode, double netTotal,
                    const QString& description, double unapplied, const SettingsFile& settings) {
    const DocumentDefaults defaults = ReadDocumentDefaults(settings);
    setField(header, "DOCKEY", "-1");
    setField(header, "DOCNO", TextValue(docRef));
    setField(header, "DOCDATE", TextValue(docDate));
    setField(header, "POSTDATE", TextValue(docDate));
    if (!isPayment(moduleCode))
        setField(header, "TAXDATE", TextValue(docDate));
    setField(header, "CODE", TextValue(partyCode));
    setField(header, "AREA", TextValue(defaults.area));
    setField(header, "AGENT", TextValue(defaults.agent));
    setField(header, "CURRENCYCODE", TextValue(defaults.currency));
    setField(header, "DESCRIPTION", TextValue(description));
    if (moduleCode == QLatin1String("AR_IV") || moduleCode == QLatin1String("AR_DN")) {
        setField(header, "TERMS", TextValue(defaults.terms));
    } else if (moduleCode == QLatin1String("AR_CN")) {
        setField(header, "UNAPPLIEDAMT", unapplied);
    } else if (isPayment(moduleCode)) {
        setField(header, "PAYMENTMETHOD", TextValue(LineAccount(settings, moduleCode)));
        setField(header, "DOCAMT", netTotal);
        setField(header, "LOCALDOCAMT", netTotal);
        setField(header, "UNAPPLIEDAMT", unapplied);
    }
}

void writeLines(DocumentLineWriter& lines, Query& rows) {
    for (rows.first(); !rows.eof(); rows.next())
        lines.addAmountLine(rows.field(QStringLiteral("TD_NOTE")).asString(),
                            rows.field(QStringLiteral("TD_TAX_CODE")).asString().trimmed(),
                            rows.field(QStringLiteral("TD_TOTAL")).asFloat(),
                            rows.field(QStringLiteral("TD_TAX_AMT")).asFloat(),
                            rows.field(QStringLiteral("TD_TAX_INCLUSIVE")).asString().trimmed() ==
                                QLatin1String("T"));
}

// The links are looked up by the document's number (TD_DOCNO), the key its marking uses too.
// Links flagged already were applied by an earlier export and are left as they are; of the
// others, those whose document the package lists are applied, the rest are reported missing.
void writeKnockOff(const AutoObjectPtr& document, DbConnection& ar, const QString& docId,
                   const PackageBuild& build, KnockOffOutcome& outcome) {
    Query links(&ar);
    links.setSql(QStringLiteral("SELECT lk_date, lk_type, lk_docno, lk_total, lk_export_acct "
                                "FROM ar_link WHERE lk_masdoc = ") +
                 QuotedStr(docId));
    links.open();
    const AutoObjectPtr knockOff = findDataSet(document, "cdsKnockOff");
    for (links.first(); !links.eof(); links.next()) {
        KnockOffLink link;
        link.linkType = links.field(QStringLiteral("LK_TYPE")).asString();
        link.number = links.field(QStringLiteral("LK_DOCNO")).asString();
        link.amount = links.field(QStringLiteral("LK_TOTAL")).asFloat();
        ++outcome.links;
        if (links.field(QStringLiteral("LK_EXPORT_ACCT")).asString().trimmed() ==
            QLatin1String("T")) {
            ++outcome.appliedBefore;
            continue;
        }
        const AutoValue found = knockOff->invoke(
            "Locate", {"DocType;DocNo",
                       AutoValue::fromArray({TextValue(KnockOffDocType(link.linkType)),
                                             TextValue(link.number.trimmed())}),
                       false, false});
        if (!found.asBool()) {
            outcome.missing.append(link);
            continue;
        }
        knockOff->invoke("Edit");
        setField(knockOff, "KOAmt", link.amount);
        setField(knockOff, "KNOCKOFF", FlagValue(build, "KNOCKOFF", true));
        knockOff->invoke("Post");
        outcome.applied.append(link);
    }
}

bool sameAmountRequired(const QString& moduleCode) {
    return !isPayment(moduleCode);
}

} // namespace

QString KnockOffDocType(const QString& linkType) {
    // The receivables system's link types and the package's knock-off document types.
    static const struct {
        const char* linkType;
        const char* packageType;
    } kTypes[] = {{"INV/", "IV"}, {"DN/", "DN"}, {"CN/", "CN"}};
    const QString type = linkType.trimmed();
    for (const auto& known : kTypes)
        if (type == QLatin1String(known.linkType))
            return QLatin1String(known.packageType);
    return type;
}

QString KnockOffOutcome::text() const {
    // A document opened again to apply what an earlier export could not: it is complete now.
    if (missing.isEmpty())
        return appliedBefore > 0 && !applied.isEmpty()
                   ? QStringLiteral("all %1 knock-offs applied (%2 now)")
                         .arg(links)
                         .arg(applied.size())
                   : QString();
    QStringList notThere;
    for (const KnockOffLink& link : missing)
        notThere << QStringLiteral("%1 (%2)").arg(link.number.trimmed(),
                                                  QString::number(link.amount, 'f', 2));
    return QStringLiteral("%1 of %2 knock-offs applied; %3 %4 not in the accounting package yet")
        .arg(links - missing.size())
        .arg(links)
        .arg(notThere.join(QStringLiteral(", ")),
             missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

bool SQLAccExportAR(const PostingSources& sources, const QString& ModuleCode, const QString& DocId,
                    const QString& DocRef, const QString& DocDate, const QString& PartyCode,
                    double NetTotal, double Rounding, PostingReadBack* readBack,
                    ReceivablePosting* posting) {
    ReceivablePosting done;
    const auto report = qScopeGuard([&] {
        if (posting)
            *posting = done;
    });
    // The stock ledger holds such an invoice under its reference, the package under its number.
    // When the package holds it already (an export saved it but could not flag it), it is not
    // saved a second time; another document under its number is refused.
    if (ModuleCode == QLatin1String("AR_IV") && importedFromPos(sources.ar, DocId)) {
        SQLAccLogin();
        BusinessObject salesInvoice(CurrentPackageSession().app, "SL_IV");
        const SourceDocument source{
            PartyCode, QDate::fromString(DocDate, QStringLiteral("yyyy/MM/dd")), NetTotal};
        done.existing = PackageHoldsDocument(salesInvoice, QStringLiteral("SL_IV"), DocId, source);
        salesInvoice.close();
        if (done.existing)
            return true;
        return SQLAccExportDoc(sources, QStringLiteral("SL_IV"), DocRef, DocId, DocDate, PartyCode,
                               NetTotal, Rounding, readBack);
    }

    Query rows(&sources.ar);
    rows.setSql(QStringLiteral("SELECT td_tax_code, td_total, td_tax_amt, td_description, "
                               "td_note, td_tax_inclusive, td_balance FROM ar_trans WHERE "
                               "td_docno = ") +
                QuotedStr(DocId));
    rows.open();
    if (rows.isEmpty())
        return false;

    SQLAccLogin();
    const PackageSession& session = CurrentPackageSession();
    const SettingsFile settings(SettingsFile::defaultPath());
    rows.first();
    const QString description = rows.field(QStringLiteral("TD_DESCRIPTION")).asString();
    const double unapplied = rows.field(QStringLiteral("TD_BALANCE")).asFloat();

    BusinessObject document(session.app, ModuleCode.toStdString());
    const AutoObjectPtr header = findDataSet(document, "MainDataSet");
    AutoObjectPtr detail;
    if (!isPayment(ModuleCode))
        detail = findDataSet(document, "cdsDocDetail");

    // A document of this number in the package is taken for this one only when it is: the same
    // customer and, for invoices and notes, the same amount. Another raises DocumentClash.
    SourceDocument source;
    source.party = PartyCode;
    if (sameAmountRequired(ModuleCode))
        source.total = NetTotal;
    done.existing = PackageHoldsDocument(document, ModuleCode, DocRef, source);
    if (!done.existing) {
        document->invoke("New");
        writeNewHeader(header, ModuleCode, DocRef, DocDate, PartyCode, NetTotal, description,
                       unapplied, settings);
        if (detail) {
            DocumentLineWriter lines(detail,
                                     LineForms{LineAccount(settings, ModuleCode), session.build,
                                               settings.read(Keys::SqlAcc::TariffCode).trimmed()});
            writeLines(lines, rows);
        }
    } else {
        document->invoke("Edit");
        setField(header, "UNAPPLIEDAMT", unapplied);
    }
    if (takesKnockOff(ModuleCode))
        writeKnockOff(document, sources.ar, DocId, session.build, done.knockOff);
    document->invoke("Save");
    if (readBack)
        ReadBackPostedDocument(document, ModuleCode, DocRef, PartyCode, NetTotal, *readBack);
    document.close();
    return true;
}
