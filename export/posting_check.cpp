#include "export/posting_check.h"

#include "config/settings_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/export_status.h"
#include "export/master_export.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/run_messages.h"
#include "export/ticked_rows.h"
#include "sqlacc/business_object.h"
#include "sqlacc/cash_sale_posting.h"
#include "sqlacc/document_capture.h"
#include "sqlacc/document_identity.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/package_code_lists.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/posting_values.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"

#include <QHash>
#include <QMap>
#include <QMultiHash>

#include <cmath>
#include <map>
#include <memory>

namespace {

bool isNone(const AutoValue& key) {
    return key.isNull() || key.isEmpty();
}

// What the package knows of a tax code.
struct TaxCodeInfo {
    bool held = false;
    double rate = 0;
    bool needsTariff = false;
};

// The package's answers for one check: every distinct code is asked once.
class PackageLookups {
public:
    explicit PackageLookups(AutoObjectPtr app) : app_(std::move(app)) {}

    bool holds(PackageCodeList list, const QString& code) {
        const QString key = QString::number(int(list)) + QLatin1Char('\x1f') + code;
        if (const auto found = held_.constFind(key); found != held_.constEnd())
            return *found;
        BusinessObject object(app_, CodeListInfo(list).bizObject);
        const bool held = !isNone(object->invoke("FindKeyByRef", {"CODE", TextValue(code)}));
        object.close();
        held_.insert(key, held);
        return held;
    }

    // A document by its number (and, for purchases, its supplier): whether the package holds it.
    bool holdsDocument(const QString& bizObject, const QString& number, const QString& party) {
        const QString key = bizObject + QLatin1Char('\x1f') + number + QLatin1Char('\x1f') + party;
        if (const auto found = documents_.constFind(key); found != documents_.constEnd())
            return *found;
        // A lookup opens no record: one business object of each kind serves the whole check.
        auto object = objects_.find(bizObject);
        if (object == objects_.end())
            object = objects_
                         .emplace(bizObject,
                                  std::make_unique<BusinessObject>(app_, bizObject.toStdString()))
                         .first;
        const bool held = !isNone(FindDocumentKey(object->second->get(), bizObject, number, party));
        documents_.insert(key, held);
        return held;
    }

    TaxCodeInfo tax(const QString& code) {
        if (const auto found = taxes_.constFind(code); found != taxes_.constEnd())
            return *found;
        TaxCodeInfo info;
        BusinessObject object(app_, CodeListInfo(PackageCodeList::TaxCode).bizObject);
        const AutoValue key = object->invoke("FindKeyByRef", {"CODE", TextValue(code)});
        info.held = !isNone(key);
        info.needsTariff = TaxCodeNeedsTariff(code);
        if (info.held) {
            setParam(object, "CODE", key.toText());
            object->invoke("Open");
            const AutoObjectPtr record = findDataSet(object, "MainDataSet");
            info.rate = fieldValue(record, "RATE", "AsFloat").asFloat();
            // The package's own mark, where it has one; otherwise the documented codes.
            try {
                const AutoValue mark = fieldValue(record, "TARIFFREQUIRED");
                if (mark.isText())
                    info.needsTariff =
                        QString::fromStdString(mark.asText()).trimmed() == QLatin1String("T");
                else if (mark.isBool() || mark.isInt())
                    info.needsTariff = mark.asBool();
            } catch (const AutomationError&) {
            }
        }
        object.close();
        held_.insert(QString::number(int(PackageCodeList::TaxCode)) + QLatin1Char('\x1f') + code,
                     info.held);
        taxes_.insert(code, info);
        return info;
    }

private:
    AutoObjectPtr app_;
    QHash<QString, bool> held_;
    QHash<QString, bool> documents_;
    QHash<QString, TaxCodeInfo> taxes_;
    std::map<QString, std::unique_ptr<BusinessObject>> objects_;
};

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString lineText(int index) {
    return QStringLiteral(" (line %1)").arg(index + 1);
}

// The master export that sends a party or item, as the export window names it.
QString masterExportName(PackageCodeList list) {
    switch (list) {
    case PackageCodeList::Customer:
        return QStringLiteral("Customer Profile");
    case PackageCodeList::Supplier:
        return QStringLiteral("Supplier Profile");
    case PackageCodeList::StockItem:
        return QStringLiteral("Stock Item");
    default:
        return QString();
    }
}

// The package's document types of a knock-off and the business objects that hold them.
QStringList knockOffObjects(const QString& type) {
    if (type == QLatin1String("IV"))
        return {QStringLiteral("AR_IV"), QStringLiteral("SL_IV")};
    if (type == QLatin1String("CN"))
        return {QStringLiteral("AR_CN"), QStringLiteral("SL_CN")};
    if (type == QLatin1String("DN"))
        return {QStringLiteral("AR_DN")};
    return {};
}

class Checker {
public:
    Checker(TdmPolling& data, const SettingsFile& settings, const QString& moduleCode,
            AutoObjectPtr app, QHash<QString, QString> generatedCodes)
        : data_(data), settings_(settings), moduleCode_(moduleCode),
          generatedCodes_(std::move(generatedCodes)), lookups_(app),
          capture_(std::make_shared<DocumentCapture>(app)),
          partyList_(IsPurchaseCode(moduleCode) ? PackageCodeList::Supplier
                                                : PackageCodeList::Customer) {}

    void check(const TickedRow& row, CheckedDocument& doc, const PostingSources& sources) {
        const bool receivable = IsReceivableCode(moduleCode_);
        const bool byItem = settings_.read(Keys::General::ExportMode) ==
                            QLatin1String(Keys::General::ExportModeByItem);
        const double total = moduleCode_ == QLatin1String(ModuleCodes::CashSales)
                                 ? CashSalePayment(row.netTotal, row.rounding, byItem)
                                 : row.netTotal;
        try {
            // A sales or purchase document the package holds already is not posted again; a
            // number it holds for another document is a clash (raised as DocumentClash).
            if (!receivable) {
                SourceDocument source;
                source.party = doc.party;
                source.date = QDate::fromString(doc.date, QStringLiteral("yyyy/MM/dd"));
                source.total = total;
                BusinessObject object(lookupsApp(), moduleCode_.toStdString());
                const bool held =
                    PackageHoldsDocument(object, moduleCode_, doc.documentNumber, source);
                object.close();
                if (held)
                    return;
            }
            capture_->clear();
            bool hasLines = false;
            {
                const PackageAppSubstitute substitute(capture_);
                hasLines = receivable
                               ? SQLAccExportAR(sources, moduleCode_, row.id, doc.documentNumber,
                                                row.date, doc.party, row.netTotal, row.rounding)
                               : SQLAccExportDoc(sources, moduleCode_, row.id, doc.documentNumber,
                                                 row.date, doc.party, row.netTotal, row.rounding);
            }
            if (!hasLines) {
                add(doc, CheckFindingKind::NothingToPost, QString(),
                    QStringLiteral("its source holds no lines to post"),
                    QStringLiteral("look at the document in the back office"));
                return;
            }
            const CapturedDocument& sent = capture_->document();
            // A document the package holds already is only updated: its codes were taken then.
            if (!sent.updatesExisting)
                checkCodes(sent, row, doc);
            checkKnockOffs(sent, doc);
        } catch (const DocumentClash& clash) {
            add(doc, CheckFindingKind::NumberClash, doc.documentNumber,
                QString::fromUtf8(clash.what()),
                QStringLiteral("give one of them another number in the back office"));
        } catch (const AutomationError& error) {
            add(doc, CheckFindingKind::PackageError, QString(),
                QStringLiteral("the accounting package said: %1")
                    .arg(QString::fromUtf8(error.what())),
                QStringLiteral("look at the document and the package's settings"));
        }
    }

private:
    static void add(CheckedDocument& doc, CheckFindingKind kind, const QString& code,
                    const QString& text, const QString& remedy, const QString& master = {}) {
        CheckFinding finding;
        finding.kind = kind;
        finding.code = code;
        finding.text = text;
        finding.remedy = remedy;
        finding.masterExport = master;
        doc.findings.append(finding);
    }

    AutoObjectPtr lookupsApp() const { return CurrentPackageSession().app; }

    bool masterHeld(const QString& code) {
        const QString table = partyList_ == PackageCodeList::Supplier
                                  ? QStringLiteral("MAS_SUPPLIER")
                                  : QStringLiteral("MAS_CUSTOMER");
        return !SelectValue(data_.dbApp, QStringLiteral("SELECT FIRST 1 M_CODE FROM ") + table +
                                             QStringLiteral(" WHERE M_CODE = ") + QuotedStr(code))
                    .isNull();
    }

    // A party that the package does not hold: whether the master export would send it.
    void partyMissing(const TickedRow& row, CheckedDocument& doc, const QString& party) {
        const bool supplier = partyList_ == PackageCodeList::Supplier;
        const QString who = supplier ? QStringLiteral("supplier") : QStringLiteral("customer");
        const QString profile = masterExportName(partyList_);
        if (party.isEmpty() && !masterHeld(row.code)) {
            add(doc, CheckFindingKind::PartyMissing, row.code,
                QStringLiteral("%1 %2 has no master in the back office").arg(who, quoted(row.code)),
                QStringLiteral("add the %1 in the back office, or correct the document").arg(who));
            return;
        }
        if (party.isEmpty()) {
            const QString generated = generatedCodes_.value(row.code);
            add(doc, CheckFindingKind::PartyMissing, row.code,
                QStringLiteral("%1 %2 has no %3 code")
                    .arg(who, quoted(row.code),
                         supplier ? QStringLiteral("creditor") : QStringLiteral("debtor")),
                generated.isEmpty()
                    ? QStringLiteral("export the %1 first and let it generate the missing codes")
                          .arg(profile)
                    : QStringLiteral("export the %1 first and let it generate the missing codes "
                                     "(this %2 gets %3)")
                          .arg(profile, who, quoted(generated)),
                profile);
            return;
        }
        const QString text =
            QStringLiteral("%1 %2 is not in the accounting package").arg(who, quoted(party));
        const QString sql =
            supplier ? QStringLiteral("SELECT M_EXPORT_ACCT FROM MAS_SUPPLIER WHERE M_CREDITOR = ")
                     : QStringLiteral("SELECT M_EXPORT_ACCT FROM MAS_CUSTOMER WHERE M_DEBTOR = ");
        RowReader master(data_.dbApp, sql + QuotedStr(party));
        const QString cashSalesCustomer = CashSalesCustomerCode(settings_.readFromTypeSection(
            Keys::General::AccountTypeForExport, Keys::SqlAcc::CustomerAccount));
        if (!supplier && party.compare(cashSalesCustomer, Qt::CaseInsensitive) == 0) {
            add(doc, CheckFindingKind::PartyMissing, party, text,
                QStringLiteral("export the %1 first (it adds the cash-sales customer)")
                    .arg(profile),
                profile);
            return;
        }
        if (!master.next()) {
            add(doc, CheckFindingKind::PartyMissing, party, text,
                QStringLiteral("add the %1 in the accounting package").arg(who));
            return;
        }
        const bool exported = master.value(0).toString().trimmed() == QLatin1String("T");
        add(doc, CheckFindingKind::PartyMissing, party, text,
            exported ? QStringLiteral("export the %1 again with all records (it is marked "
                                      "exported but the package lacks it)")
                           .arg(profile)
                     : QStringLiteral("export the %1 first").arg(profile),
            profile);
    }

    void requireCode(CheckedDocument& doc, PackageCodeList list, const QString& code,
                     const QString& place = {}) {
        if (code.isEmpty() || lookups_.holds(list, code))
            return;
        add(doc, CheckFindingKind::CodeMissing, code,
            QStringLiteral("%1 %2 is not in the accounting package%3")
                .arg(QLatin1String(CodeListInfo(list).what), quoted(code), place),
            QStringLiteral("add it to the package's %1 list, or name another in the settings")
                .arg(QLatin1String(CodeListInfo(list).what)));
    }

    // In the order the package checks a document at its Save, so that the first finding is the
    // refusal the package would give.
    void checkCodes(const CapturedDocument& sent, const TickedRow& row, CheckedDocument& doc) {
        const QString party = sent.headerText("CODE");
        if (party.isEmpty() || !lookups_.holds(partyList_, party))
            partyMissing(row, doc, party);
        requireCode(doc, PackageCodeList::Terms, sent.headerText("TERMS"));
        requireCode(doc, PackageCodeList::Area, sent.headerText("AREA"));
        requireCode(doc, PackageCodeList::Agent, sent.headerText("AGENT"));
        requireCode(doc, PackageCodeList::Currency, sent.headerText("CURRENCYCODE"));
        requireCode(doc, PackageCodeList::PaymentMethod, sent.headerText("P_PAYMENTMETHOD"));
        requireCode(doc, PackageCodeList::PaymentMethod, sent.headerText("PAYMENTMETHOD"));
        requireCode(doc, PackageCodeList::Project, sent.headerText("P_PAYMENTPROJECT"));

        const bool tariffEverywhere = TariffOnEveryLine(sent.bizObject);
        QStringList items;
        QList<int> itemLines;
        for (int i = 0; i < sent.lines.size(); ++i) {
            const QMap<QString, AutoValue>& line = sent.lines.at(i);
            requireCode(doc, PackageCodeList::GlAccount, CapturedDocument::text(line, "ACCOUNT"),
                        lineText(i));
            const QString tax = CapturedDocument::text(line, "TAX");
            const QString item = CapturedDocument::text(line, "ITEMCODE");
            if (!item.isEmpty() && !items.contains(item)) {
                items << item;
                itemLines << i;
            }
            if (tax.isEmpty())
                continue;
            const TaxCodeInfo info = lookups_.tax(tax);
            if (!info.held) {
                requireCode(doc, PackageCodeList::TaxCode, tax, lineText(i));
                continue;
            }
            if (info.needsTariff && (tariffEverywhere || item.isEmpty()) &&
                CapturedDocument::text(line, "TARIFF").isEmpty())
                add(doc, CheckFindingKind::TariffMissing, tax,
                    QStringLiteral("tax code %1 needs a tariff code and none is configured%2")
                        .arg(quoted(tax), lineText(i)),
                    QStringLiteral("set the tariff code (TARIFF_CODE of section SQLACC) in the "
                                   "settings"));
        }
        for (int i = 0; i < items.size(); ++i) {
            if (lookups_.holds(PackageCodeList::StockItem, items.at(i)))
                continue;
            const bool inBackOffice =
                !SelectValue(data_.dbApp,
                             QStringLiteral("SELECT FIRST 1 M_PLUCODE FROM MAS_STOCK WHERE "
                                            "M_PLUCODE = ") +
                                 QuotedStr(items.at(i)))
                     .isNull();
            add(doc, CheckFindingKind::ItemMissing, items.at(i),
                QStringLiteral("item code %1 is not in the accounting package%2")
                    .arg(quoted(items.at(i)), lineText(itemLines.at(i))),
                inBackOffice ? QStringLiteral("export the Stock Item master first")
                             : QStringLiteral("add the item in the accounting package"),
                inBackOffice ? masterExportName(PackageCodeList::StockItem) : QString());
        }
        const double total =
            sent.total([this](const QString& tax) { return lookups_.tax(tax).rate; });
        if (std::llround(total * 100.0) < 0)
            add(doc, CheckFindingKind::BelowZero, AmountText(total),
                QStringLiteral("its total %1 is below 0").arg(AmountText(total)),
                QStringLiteral("correct it at its source (the package takes no document below "
                               "0)"));
    }

    // A settled document must be in the package when this one is saved, or the knock-off is lost.
    void checkKnockOffs(const CapturedDocument& sent, CheckedDocument& doc) {
        for (const CapturedDocument::KnockOff& link : sent.knockOffs) {
            const QStringList objects = knockOffObjects(link.type);
            bool held = false;
            for (const QString& object : objects)
                held = held || lookups_.holdsDocument(object, link.number, doc.party);
            if (held)
                continue;
            const QString what =
                QStringLiteral("%1 %2").arg(link.type, quoted(link.number)).trimmed();
            const QString tickedKind = tickedUnder(objects, link.number);
            if (tickedKind == moduleCode_)
                continue; // posted earlier in the same run
            if (!tickedKind.isEmpty()) {
                add(doc, CheckFindingKind::KnockOffLater, link.number,
                    QStringLiteral("settles %1, which is ticked under %2 but not yet posted")
                        .arg(what, DocumentKindName(tickedKind)),
                    QStringLiteral("export the %1 first").arg(DocumentKindName(tickedKind)));
                continue;
            }
            add(doc, CheckFindingKind::KnockOffMissing, link.number,
                QStringLiteral("settles %1, which is neither in the accounting package nor "
                               "ticked")
                    .arg(what),
                QStringLiteral("export the settled document first, or its knock-off is lost"));
        }
    }

    // The kind under which a document of this number is ticked, or empty.
    QString tickedUnder(const QStringList& objects, const QString& number) {
        // The ticked documents that knock-offs may settle, read once per check.
        if (!tickedLoaded_) {
            tickedLoaded_ = true;
            RowReader ticked(data_.dbStk,
                             QStringLiteral("SELECT S_MODULE, S_REFNO FROM TMP_EXPORT_ACCT WHERE "
                                            "S_EXPORT_ACCT = ") +
                                 QuotedStr(QStringLiteral("T")) +
                                 QStringLiteral(" AND S_MODULE IN ('AR_IV', 'SL_IV', 'AR_CN', "
                                                "'SL_CN', 'AR_DN')"));
            while (ticked.next())
                ticked_.insert(ticked.value(1).toString().trimmed(),
                               ticked.value(0).toString().trimmed());
        }
        QString found;
        for (auto each = ticked_.constFind(number);
             each != ticked_.constEnd() && each.key() == number; ++each) {
            const QString& kind = each.value();
            if (!objects.contains(kind) && kind != moduleCode_)
                continue;
            if (kind == moduleCode_ || found.isEmpty())
                found = kind;
        }
        return found;
    }

    TdmPolling& data_;
    const SettingsFile& settings_;
    QString moduleCode_;
    bool tickedLoaded_ = false;
    QMultiHash<QString, QString> ticked_; // ticked number -> its kind
    // What code generation would give the parties without a code (master code to code).
    QHash<QString, QString> generatedCodes_;
    PackageLookups lookups_;
    std::shared_ptr<DocumentCapture> capture_;
    PackageCodeList partyList_;
};

} // namespace

bool CheckFinding::refusedAtSave() const {
    switch (kind) {
    case CheckFindingKind::PartyMissing:
    case CheckFindingKind::CodeMissing:
    case CheckFindingKind::TariffMissing:
    case CheckFindingKind::ItemMissing:
    case CheckFindingKind::BelowZero:
    case CheckFindingKind::PackageError:
        return true;
    default:
        return false;
    }
}

bool CheckedDocument::ready() const {
    for (const CheckFinding& finding : findings)
        if (finding.holdsBack())
            return false;
    return true;
}

QString CheckedDocument::statusText() const {
    if (findings.isEmpty())
        return QString();
    QStringList texts;
    for (const CheckFinding& finding : findings)
        texts << finding.text;
    return (ready() ? QStringLiteral("Nothing to post: ") : QStringLiteral("Would be refused: ")) +
           texts.join(QStringLiteral("; "));
}

int CheckReport::readyCount() const {
    int ready = 0;
    for (const CheckedDocument& doc : documents)
        ready += doc.ready() ? 1 : 0;
    return ready;
}

int CheckReport::refusedCount() const {
    return int(documents.size()) - readyCount();
}

QString CheckReport::summaryText() const {
    QString text =
        QStringLiteral("%1 %2 checked: %3 ready, %4 would be refused")
            .arg(documents.size())
            .arg(documents.size() == 1 ? QStringLiteral("document") : QStringLiteral("documents"))
            .arg(readyCount())
            .arg(refusedCount());
    // How many documents wait for each master export, in the order first met.
    QStringList masters;
    QMap<QString, int> waiting;
    for (const CheckedDocument& doc : documents) {
        QStringList seen;
        for (const CheckFinding& finding : doc.findings) {
            if (finding.masterExport.isEmpty() || seen.contains(finding.masterExport))
                continue;
            seen << finding.masterExport;
            if (!masters.contains(finding.masterExport))
                masters << finding.masterExport;
            ++waiting[finding.masterExport];
        }
    }
    for (const QString& master : masters)
        text +=
            QStringLiteral("; %1 %2 the %3 exported first")
                .arg(waiting.value(master))
                .arg(waiting.value(master) == 1 ? QStringLiteral("needs") : QStringLiteral("need"),
                     master);
    if (cancelled)
        text += QStringLiteral(" (cancelled before the last document)");
    return text;
}

CheckReport CheckTickedDocuments(TdmPolling& data, const SettingsFile& settings,
                                 const QString& moduleCode, const CheckProgress& progress) {
    if (!IsTransactionCode(moduleCode))
        throw AppError(QStringLiteral("%1 is not a kind of document").arg(moduleCode));
    CheckReport report;
    report.moduleCode = moduleCode;
    const QVector<TickedRow> rows = ReadTickedRows(data.dbStk, moduleCode);
    if (rows.isEmpty())
        return report;
    const PackageRunSession packageRun;
    SQLAccLogin();
    // Parties without a code: what generation would give them, tried and rolled back before the
    // check's own reads begin.
    const QHash<QString, QString> generated =
        moduleCode == QLatin1String(ModuleCodes::CashSales)
            ? QHash<QString, QString>()
            : CodesGenerationWouldGive(data, settings,
                                       QLatin1String(IsPurchaseCode(moduleCode)
                                                         ? ModuleCodes::Supplier
                                                         : ModuleCodes::Customer));
    // The check only reads: its reads of each database share one transaction, so they see one
    // state of the back office and wait on no commit each. Committed at the end (within a dry
    // run's transaction, that one decides).
    Transaction stockReads(data.dbStk, Transaction::Begin::AtFirstStatement);
    Transaction masterReads(data.dbApp, Transaction::Begin::AtFirstStatement);
    Transaction receivableReads(data.dbAR, Transaction::Begin::AtFirstStatement);
    Checker checker(data, settings, moduleCode, CurrentPackageSession().app, generated);
    PosTaxCodeCache taxCodes(200);
    const PostingSources sources{data.dbStk, data.dbApp, data.dbAR, &taxCodes};
    QHash<QString, QString> parties;
    for (int i = 0; i < rows.size(); ++i) {
        const TickedRow& row = rows.at(i);
        CheckedDocument doc;
        doc.sourceId = row.id;
        doc.store = row.store;
        doc.refNo = row.refNo;
        doc.documentNumber = DocumentReference(moduleCode, row);
        doc.date = row.date;
        doc.netTotal = row.netTotal;
        auto party = parties.constFind(row.code);
        if (party == parties.constEnd())
            party = parties.insert(row.code, PackagePartyCode(data.dbApp, moduleCode, row.code));
        doc.party = *party;
        checker.check(row, doc, sources);
        report.documents.append(doc);
        if (progress && !progress(i + 1, rows.size()) && i + 1 < rows.size()) {
            report.cancelled = true;
            break;
        }
    }
    receivableReads.commit();
    masterReads.commit();
    stockReads.commit();
    return report;
}

namespace {

QList<DocumentStatus> checkStatuses(const CheckReport& report, bool refusedOnly) {
    QList<DocumentStatus> statuses;
    for (const CheckedDocument& doc : report.documents) {
        if (refusedOnly && doc.ready())
            continue;
        DocumentStatus status;
        status.id = doc.sourceId;
        status.store = doc.store;
        status.refNo = doc.refNo;
        status.attention = !doc.ready();
        status.outcome = QLatin1String(doc.ready() ? ExportStatusCodes::CheckReady
                                                   : ExportStatusCodes::CheckRefused);
        status.text = doc.findings.isEmpty() ? QStringLiteral("ready") : doc.statusText();
        statuses << status;
    }
    return statuses;
}

} // namespace

void RecordCheckStatuses(DbConnection& stock, const CheckReport& report, const QString& runId) {
    ReplaceKindStatuses(stock, report.moduleCode, runId, checkStatuses(report, false), {}, false);
}

void KeepRefusedCheckStatuses(DbConnection& stock, const CheckReport& report,
                              const QString& runId) {
    AddKindStatuses(stock, report.moduleCode, runId, checkStatuses(report, true));
}

int UntickRefusedDocuments(DbConnection& stock, const CheckReport& report) {
    Transaction untick(stock);
    int unticked = 0;
    for (const CheckedDocument& doc : report.documents) {
        if (doc.ready())
            continue;
        stock.execute(QStringLiteral("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'F' WHERE "
                                     "S_MODULE = %1 AND S_ID = %2 AND S_STORE_FROM = %3 AND "
                                     "S_REFNO = %4")
                          .arg(QuotedStr(report.moduleCode), QuotedStr(doc.sourceId),
                               QuotedStr(doc.store), QuotedStr(doc.refNo)));
        ++unticked;
    }
    untick.commit();
    return unticked;
}

QString PostReadyOnlyQuestion(const CheckReport& report) {
    return QStringLiteral("%1\r\nPost only the %2 ready %3 and untick the others? No stops the "
                          "export; the Status column says why each would be refused.")
        .arg(report.summaryText())
        .arg(report.readyCount())
        .arg(report.readyCount() == 1 ? QStringLiteral("document") : QStringLiteral("documents"));
}

int JournalHeldBack(TdmPolling& data, const CheckReport& report, const QString& runId,
                    const QString& user) {
    const bool receivable = IsReceivableCode(report.moduleCode);
    if (receivable)
        EnsureReceivableLinkTables(data.dbAR);
    DbConnection& journalDb = receivable ? data.dbAR : data.dbStk;
    Transaction record(journalDb);
    PostingJournalWriter journal(journalDb, runId, user);
    int written = 0;
    for (const CheckedDocument& doc : report.documents) {
        if (doc.ready())
            continue;
        QStringList reasons;
        for (const CheckFinding& finding : doc.findings)
            reasons << finding.text;
        const QString message = reasons.join(QStringLiteral("; ")).left(1000);
        const int earlier =
            SelectValue(journalDb,
                        QStringLiteral("SELECT COUNT(*) FROM ACC_POST_JOURNAL WHERE J_MODULE = ") +
                            QuotedStr(report.moduleCode) + QStringLiteral(" AND J_SOURCE_ID = ") +
                            QuotedStr(doc.sourceId) + QStringLiteral(" AND J_DOCNO = ") +
                            QuotedStr(doc.documentNumber) + QStringLiteral(" AND J_OUTCOME = ") +
                            QuotedStr(JournalOutcomeCode(JournalOutcome::HeldBack)) +
                            QStringLiteral(" AND J_MESSAGE = ") + QuotedStr(message))
                .toInt();
        if (earlier > 0)
            continue;
        JournalEntry entry;
        entry.store = doc.store;
        entry.moduleCode = report.moduleCode;
        entry.sourceId = doc.sourceId;
        entry.documentNumber = doc.documentNumber;
        entry.date = QDate::fromString(doc.date, QStringLiteral("yyyy/MM/dd"));
        entry.party = doc.party;
        entry.netTotal = doc.netTotal;
        entry.outcome = JournalOutcome::HeldBack;
        entry.message = message;
        journal.record(entry);
        ++written;
    }
    record.commit();
    return written;
}
