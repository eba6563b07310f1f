// The member calls the posting routines make on the accounting package, one document of each
// kind and mode, held against the package's call and field order and the forms of its builds.

#include "config/settings_file.h"
#include "data/connection.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/cash_sale_posting.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/posting_error.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "tests/sqlacc/posting_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <functional>
#include <memory>

using PostingCall = std::function<bool(const PostingSources&)>;
using PackageScript = std::function<void(RecordingPackage&)>;
Q_DECLARE_METATYPE(PostingCall)
Q_DECLARE_METATYPE(PackageScript)

namespace {

// The expected log: one call a line, blanks around lines ignored.
QStringList calls(const char* text) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

// The login, then what the package says of itself: its build and whose books it has open.
const char* const kLogin = R"(
    BizApp.IsLogin
    BizApp.Login("U","P","x.dcf","ACC.FDB")
    BizApp.BuildNo
    RptObjects.Find("Common.Agent.RO")
    Common.Agent.RO.CalculateReport
    Common.Agent.RO.DataSets.Find("cdsProfile")
    Common.Agent.RO.cdsProfile.CompanyName.AsString
)";

const char kBuild860[] = "5.2024.1007.860";
const char kBuild859[] = "5.2024.1001.859";

// The header every sales or purchase document opens with.
QString documentStart(const QString& object, const QString& docNo, const QString& date,
                      const QString& code) {
    return QStringLiteral(R"(
        BizObjects.Find("%1")
        %1.DataSets.Find("MainDataSet")
        %1.DataSets.Find("cdsDocDetail")
        %1.New
        %1.MainDataSet.DOCKEY := "-1"
        %1.MainDataSet.DOCNO := "%2"
        %1.MainDataSet.DOCDATE := "%3"
        %1.MainDataSet.POSTDATE := "%3"
        %1.MainDataSet.TAXDATE := "%3"
        %1.MainDataSet.CODE := "%4"
        %1.MainDataSet.AREA := "----"
        %1.MainDataSet.AGENT := "----"
        %1.MainDataSet.CURRENCYCODE := "----"
        %1.MainDataSet.TERMS := "C.O.D"
    )")
        .arg(object, docNo, date, code);
}

QStringList expected(std::initializer_list<QString> parts) {
    QStringList lines;
    for (const QString& part : parts)
        lines << calls(part.toUtf8().constData());
    return lines;
}

QString text(const char* raw) {
    return QString::fromUtf8(raw);
}

// The lines of sales invoice D100 by item (also those of invoice INV/2 taken over from the POS):
// summed quantities as they are, half a unit included; the discount as text.
const char* const kD100Lines = R"(
    SL_IV.cdsDocDetail.Append
    SL_IV.cdsDocDetail.DtlKey := "-1"
    SL_IV.cdsDocDetail.DocKey := "-1"
    SL_IV.cdsDocDetail.ItemCode := "P1"
    SL_IV.cdsDocDetail.DESCRIPTION := "Widget Large"
    SL_IV.cdsDocDetail.Qty := 3.0
    SL_IV.cdsDocDetail.UOM := "UNIT"
    SL_IV.cdsDocDetail.UnitPrice := 10.0
    SL_IV.cdsDocDetail.Account := "500-000"
    SL_IV.cdsDocDetail.DISC := "1"
    SL_IV.cdsDocDetail.TAX := "SR"
    SL_IV.cdsDocDetail.TAXAMT := 1.75
    SL_IV.cdsDocDetail.Post
    SL_IV.cdsDocDetail.Append
    SL_IV.cdsDocDetail.DtlKey := "-2"
    SL_IV.cdsDocDetail.DocKey := "-1"
    SL_IV.cdsDocDetail.ItemCode := "P2"
    SL_IV.cdsDocDetail.DESCRIPTION := "FREE GIFT"
    SL_IV.cdsDocDetail.Qty := 1.0
    SL_IV.cdsDocDetail.UOM := "UNIT"
    SL_IV.cdsDocDetail.Account := "500-000"
    SL_IV.cdsDocDetail.TAX := "ZR"
    SL_IV.cdsDocDetail.TAXINCLUSIVE := true
    SL_IV.cdsDocDetail.Post
    SL_IV.cdsDocDetail.Append
    SL_IV.cdsDocDetail.DtlKey := "-3"
    SL_IV.cdsDocDetail.DocKey := "-1"
    SL_IV.cdsDocDetail.ItemCode := "P9"
    SL_IV.cdsDocDetail.DESCRIPTION := "P9"
    SL_IV.cdsDocDetail.Qty := 0.5
    SL_IV.cdsDocDetail.UOM := "UNIT"
    SL_IV.cdsDocDetail.UnitPrice := 4.0
    SL_IV.cdsDocDetail.Account := "500-000"
    SL_IV.cdsDocDetail.TAX := "SR"
    SL_IV.cdsDocDetail.TAXAMT := 0.25
    SL_IV.cdsDocDetail.Post
    SL_IV.Save
    SL_IV.Close
)";

// The lines of cash sale S001-01-000000007 by item, with its true/false fields in `yes` and
// `no`: weighed quantities as they are, the line with no tax code without tax, the rounding line.
QString receiptLines(const QString& yes, const QString& no) {
    return QStringLiteral(R"(
        SL_CS.cdsDocDetail.Append
        SL_CS.cdsDocDetail.DtlKey := "-1"
        SL_CS.cdsDocDetail.DocKey := "-1"
        SL_CS.cdsDocDetail.ItemCode := "P1"
        SL_CS.cdsDocDetail.Qty := 2.5
        SL_CS.cdsDocDetail.UOM := "UNIT"
        SL_CS.cdsDocDetail.UnitPrice := 10.0
        SL_CS.cdsDocDetail.Account := "500-000"
        SL_CS.cdsDocDetail.TAX := "SR"
        SL_CS.cdsDocDetail.TAXINCLUSIVE := %1
        SL_CS.cdsDocDetail.Post
        SL_CS.cdsDocDetail.Append
        SL_CS.cdsDocDetail.DtlKey := "-2"
        SL_CS.cdsDocDetail.DocKey := "-1"
        SL_CS.cdsDocDetail.ItemCode := "P2"
        SL_CS.cdsDocDetail.Qty := 1.0
        SL_CS.cdsDocDetail.UOM := "UNIT"
        SL_CS.cdsDocDetail.UnitPrice := 5.5
        SL_CS.cdsDocDetail.Account := "500-000"
        SL_CS.cdsDocDetail.DISC := "0.5"
        SL_CS.cdsDocDetail.TAX := "ZR"
        SL_CS.cdsDocDetail.TAXINCLUSIVE := %1
        SL_CS.cdsDocDetail.Post
        SL_CS.cdsDocDetail.Append
        SL_CS.cdsDocDetail.DtlKey := "-3"
        SL_CS.cdsDocDetail.DocKey := "-1"
        SL_CS.cdsDocDetail.ItemCode := "P3"
        SL_CS.cdsDocDetail.Qty := 3.5
        SL_CS.cdsDocDetail.UOM := "UNIT"
        SL_CS.cdsDocDetail.Account := "500-000"
        SL_CS.cdsDocDetail.TAX := ""
        SL_CS.cdsDocDetail.TAXINCLUSIVE := %2
        SL_CS.cdsDocDetail.TAXAMT := 0.0
        SL_CS.cdsDocDetail.Post
        SL_CS.cdsDocDetail.Append
        SL_CS.cdsDocDetail.DtlKey := "-4"
        SL_CS.cdsDocDetail.DocKey := "-1"
        SL_CS.cdsDocDetail.ItemCode := ""
        SL_CS.cdsDocDetail.DESCRIPTION := "ROUNDING"
        SL_CS.cdsDocDetail.Account := "500-000"
        SL_CS.cdsDocDetail.Qty := 1.0
        SL_CS.cdsDocDetail.UOM := "UNIT"
        SL_CS.cdsDocDetail.UnitPrice := -0.02
        SL_CS.cdsDocDetail.TAX := ""
        SL_CS.cdsDocDetail.TAXINCLUSIVE := %2
        SL_CS.cdsDocDetail.TAXAMT := 0.0
        SL_CS.cdsDocDetail.Post
        SL_CS.Save
    )")
        .arg(yes, no);
}

// The header of cash sale S001-01-000000007: paid 25.00 less the rounding of 0.02.
QString receiptHeader() {
    return documentStart("SL_CS", "S001-01-000000007", "2024/03/05", "300-POS") + QStringLiteral(R"(
        SL_CS.MainDataSet.P_PAYMENTMETHOD := "320-000"
        SL_CS.MainDataSet.P_AMOUNT := 24.98
        SL_CS.MainDataSet.P_PAYMENTPROJECT := "----"
    )");
}

} // namespace

class TestPostingCalls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void callSequence_data();
    void callSequence();
    void receiptNumberThatIsNoNumberStopsBeforeThePackage();
    void loginErrorStopsThePosting();
    void booksOfAnotherCompanyStopBeforePosting_data();
    void booksOfAnotherCompanyStopBeforePosting();
    void posTaxCodesAreKeptOnlyAsLongAsAllowed();

private:
    std::unique_ptr<TestContext> context_;
    std::unique_ptr<DbConnection> stk_, app_, ar_;
    std::unique_ptr<PostingSources> sources_;
};

void TestPostingCalls::initTestCase() {
    context_ = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context_->folder());
    stk_ = std::make_unique<DbConnection>("ZaLedvoraStk", "ZantStk");
    app_ = std::make_unique<DbConnection>("ZaLedvoraApp", "ZantApp");
    ar_ = std::make_unique<DbConnection>("ZaARSys", "ARDB");
    sources_ = std::make_unique<PostingSources>(PostingSources{*stk_, *app_, *ar_});
    InsertPostingFixture(*sources_);
}

void TestPostingCalls::cleanupTestCase() {
    ReleaseBizApp();
    SetBizAppFactory(nullptr);
    sources_.reset();
    stk_.reset();
    app_.reset();
    ar_.reset();
    context_.reset();
}

void TestPostingCalls::callSequence_data() {
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<PackageScript>("script");
    QTest::addColumn<PostingCall>("call");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("log");

    const PackageScript none = [](RecordingPackage&) {};
    const PackageScript build859 = [](RecordingPackage& p) { p.setBuildNo(kBuild859); };
    const QStringList byItem;
    const QStringList bySummary = {"GENERAL/EXPORT_MODE=1"};
    const QStringList otherMode = {"GENERAL/EXPORT_MODE=2"};

    QTest::newRow("SL_CS by item: quantities as stored, tax by symbol, inclusive, rounding line")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000007", "2024/03/05",
                                      "300-POS", 25.0, -0.02);
           })
        << true
        << expected({kLogin, receiptHeader(), receiptLines("true", "false"), text("SL_CS.Close")});

    QTest::newRow("SL_CS by item, build 859: true/false as 1/0")
        << byItem << build859 << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000007", "2024/03/05",
                                      "300-POS", 25.0, -0.02);
           })
        << true << expected({kLogin, receiptHeader(), receiptLines("1", "0"), text("SL_CS.Close")});

    QTest::newRow("SL_CS by item, read back after the save")
        << byItem
        << PackageScript([](RecordingPackage& p) { p.setKey("SL_CS", "S001-01-000000007", 41); })
        << PostingCall([](const PostingSources& s) {
               PostingReadBack readBack;
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000007", "2024/03/05",
                                      "300-POS", 25.0, -0.02, &readBack);
           })
        << true << expected({kLogin, receiptHeader(), receiptLines("true", "false"), text(R"(
            SL_CS.FindKeyByRef("DOCNO","S001-01-000000007")
            SL_CS.Params.DocKey := "41"
            SL_CS.Open
            SL_CS.DataSets.Find("MainDataSet")
            SL_CS.MainDataSet.CODE.AsString
            SL_CS.MainDataSet.DOCDATE.Value
            SL_CS.MainDataSet.DocAmt.AsFloat
            SL_CS.MainDataSet.P_AMOUNT.AsFloat
            SL_CS.Close
        )")});

    QTest::newRow("SL_CS by summary with an item code: zero-rated, exempted, rounding lines")
        << QStringList{"GENERAL/EXPORT_MODE=1", "SQLACC/ITEM_CODE=POS"} << none
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-05032024", "2024/03/05", "300-POS",
                                      125.03, 0.03);
           })
        << true
        << expected({kLogin, documentStart("SL_CS", "S001-01-05032024", "2024/03/05", "300-POS"),
                     text(R"(
            SL_CS.MainDataSet.P_PAYMENTMETHOD := "320-000"
            SL_CS.MainDataSet.P_AMOUNT := 125.03
            SL_CS.MainDataSet.P_PAYMENTPROJECT := "----"
            SL_CS.cdsDocDetail.Append
            SL_CS.cdsDocDetail.DtlKey := "-1"
            SL_CS.cdsDocDetail.DocKey := "-1"
            SL_CS.cdsDocDetail.ItemCode := "POS"
            SL_CS.cdsDocDetail.DESCRIPTION := "STANDARD RATED ITEM"
            SL_CS.cdsDocDetail.Qty := 1.0
            SL_CS.cdsDocDetail.UOM := "UNIT"
            SL_CS.cdsDocDetail.UnitPrice := 100.0
            SL_CS.cdsDocDetail.Account := "500-000"
            SL_CS.cdsDocDetail.TAX := "SR"
            SL_CS.cdsDocDetail.TAXAMT := 6.0
            SL_CS.cdsDocDetail.Post
            SL_CS.cdsDocDetail.Append
            SL_CS.cdsDocDetail.DtlKey := "-2"
            SL_CS.cdsDocDetail.DocKey := "-1"
            SL_CS.cdsDocDetail.ItemCode := "POS"
            SL_CS.cdsDocDetail.DESCRIPTION := "ZERO RATED ITEM"
            SL_CS.cdsDocDetail.Account := "500-000"
            SL_CS.cdsDocDetail.Qty := 1.0
            SL_CS.cdsDocDetail.UOM := "UNIT"
            SL_CS.cdsDocDetail.UnitPrice := 20.0
            SL_CS.cdsDocDetail.TAX := "ZR"
            SL_CS.cdsDocDetail.TAXAMT := 0.0
            SL_CS.cdsDocDetail.Post
            SL_CS.cdsDocDetail.Append
            SL_CS.cdsDocDetail.DtlKey := "-3"
            SL_CS.cdsDocDetail.DocKey := "-1"
            SL_CS.cdsDocDetail.ItemCode := "POS"
            SL_CS.cdsDocDetail.DESCRIPTION := "EXEMPTED ITEM"
            SL_CS.cdsDocDetail.Account := "500-000"
            SL_CS.cdsDocDetail.Qty := 1.0
            SL_CS.cdsDocDetail.UOM := "UNIT"
            SL_CS.cdsDocDetail.UnitPrice := 5.0
            SL_CS.cdsDocDetail.TAX := ""
            SL_CS.cdsDocDetail.TAXINCLUSIVE := false
            SL_CS.cdsDocDetail.TAXAMT := 0.0
            SL_CS.cdsDocDetail.Post
            SL_CS.cdsDocDetail.Append
            SL_CS.cdsDocDetail.DtlKey := "-4"
            SL_CS.cdsDocDetail.DocKey := "-1"
            SL_CS.cdsDocDetail.ItemCode := ""
            SL_CS.cdsDocDetail.DESCRIPTION := "ROUNDING"
            SL_CS.cdsDocDetail.Account := "500-000"
            SL_CS.cdsDocDetail.Qty := 1.0
            SL_CS.cdsDocDetail.UOM := "UNIT"
            SL_CS.cdsDocDetail.UnitPrice := 0.03
            SL_CS.cdsDocDetail.TAX := ""
            SL_CS.cdsDocDetail.TAXINCLUSIVE := false
            SL_CS.cdsDocDetail.TAXAMT := 0.0
            SL_CS.cdsDocDetail.Post
            SL_CS.Save
            SL_CS.Close
        )")});

    QTest::newRow("SL_CS in another mode: the standard-rated line only")
        << otherMode << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-05032024", "2024/03/05", "300-POS",
                                      125.03, 0.03);
           })
        << true
        << expected({kLogin, documentStart("SL_CS", "S001-01-05032024", "2024/03/05", "300-POS"),
                     text(R"(
            SL_CS.MainDataSet.P_PAYMENTMETHOD := "320-000"
            SL_CS.MainDataSet.P_AMOUNT := 125.03
            SL_CS.MainDataSet.P_PAYMENTPROJECT := "----"
            SL_CS.cdsDocDetail.Append
            SL_CS.cdsDocDetail.DtlKey := "-1"
            SL_CS.cdsDocDetail.DocKey := "-1"
            SL_CS.cdsDocDetail.DESCRIPTION := "STANDARD RATED ITEM"
            SL_CS.cdsDocDetail.Qty := 1.0
            SL_CS.cdsDocDetail.UOM := "UNIT"
            SL_CS.cdsDocDetail.UnitPrice := 100.0
            SL_CS.cdsDocDetail.Account := "500-000"
            SL_CS.cdsDocDetail.TAX := "SR"
            SL_CS.cdsDocDetail.TAXAMT := 6.0
            SL_CS.cdsDocDetail.Post
            SL_CS.Save
            SL_CS.Close
        )")});

    QTest::newRow("SL_IV by item: sums, stock description, item code for a missing item")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_IV", "D100", "IV-9001", "2024/03/06", "300-C1", 0, 0);
           })
        << true
        << expected({kLogin, documentStart("SL_IV", "IV-9001", "2024/03/06", "300-C1"),
                     text(R"(SL_IV.MainDataSet.DOCREF1 := "D100")"), text(kD100Lines)});

    QTest::newRow("SL_IV by summary: one line per tax code, the item description setting")
        << bySummary << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_IV", "D100", "IV-9001", "2024/03/06", "300-C1", 0, 0);
           })
        << true
        << expected({kLogin, documentStart("SL_IV", "IV-9001", "2024/03/06", "300-C1"), text(R"(
            SL_IV.MainDataSet.DOCREF1 := "D100"
            SL_IV.cdsDocDetail.Append
            SL_IV.cdsDocDetail.DtlKey := "-1"
            SL_IV.cdsDocDetail.DocKey := "-1"
            SL_IV.cdsDocDetail.DESCRIPTION := "Product Item"
            SL_IV.cdsDocDetail.Qty := 1.0
            SL_IV.cdsDocDetail.UOM := "UNIT"
            SL_IV.cdsDocDetail.UnitPrice := 31.0
            SL_IV.cdsDocDetail.Account := "500-000"
            SL_IV.cdsDocDetail.TAX := "SR"
            SL_IV.cdsDocDetail.TAXAMT := 2.0
            SL_IV.cdsDocDetail.Post
            SL_IV.cdsDocDetail.Append
            SL_IV.cdsDocDetail.DtlKey := "-2"
            SL_IV.cdsDocDetail.DocKey := "-1"
            SL_IV.cdsDocDetail.DESCRIPTION := "Product Item"
            SL_IV.cdsDocDetail.Qty := 1.0
            SL_IV.cdsDocDetail.UOM := "UNIT"
            SL_IV.cdsDocDetail.Account := "500-000"
            SL_IV.cdsDocDetail.TAX := "ZR"
            SL_IV.cdsDocDetail.Post
            SL_IV.Save
            SL_IV.Close
        )")});

    QTest::newRow("SL_CN by item: positive figures, credit-note account")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CN", "C200", "CN-5001", "2024/03/07", "300-C1", 0, 0);
           })
        << true
        << expected({kLogin, documentStart("SL_CN", "CN-5001", "2024/03/07", "300-C1"), text(R"(
            SL_CN.MainDataSet.DOCREF1 := "C200"
            SL_CN.cdsDocDetail.Append
            SL_CN.cdsDocDetail.DtlKey := "-1"
            SL_CN.cdsDocDetail.DocKey := "-1"
            SL_CN.cdsDocDetail.ItemCode := "P1"
            SL_CN.cdsDocDetail.DESCRIPTION := "DAMAGED"
            SL_CN.cdsDocDetail.Qty := 2.0
            SL_CN.cdsDocDetail.UOM := "UNIT"
            SL_CN.cdsDocDetail.UnitPrice := 10.0
            SL_CN.cdsDocDetail.Account := "510-000"
            SL_CN.cdsDocDetail.TAX := "SR"
            SL_CN.cdsDocDetail.TAXAMT := 1.25
            SL_CN.cdsDocDetail.Post
            SL_CN.Save
            SL_CN.Close
        )")});

    // The price of the second line includes its given tax: written as the package documents it,
    // so that the package keeps that tax. Read back by number and supplier.
    QTest::newRow(
        "PH_PI by item: cost columns, a tax-inclusive price, found by number and supplier")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setKey("PH_PI", R"(["S001-R300","V-0001"])", 12);
           })
        << PostingCall([](const PostingSources& s) {
               PostingReadBack readBack;
               return SQLAccExportDoc(s, "PH_PI", "R300", "S001-R300", "2024/03/08", "V-0001", 0, 0,
                                      &readBack);
           })
        << true
        << expected({kLogin, documentStart("PH_PI", "S001-R300", "2024/03/08", "V-0001"), text(R"(
            PH_PI.cdsDocDetail.Append
            PH_PI.cdsDocDetail.DtlKey := "-1"
            PH_PI.cdsDocDetail.DocKey := "-1"
            PH_PI.cdsDocDetail.ItemCode := "P1"
            PH_PI.cdsDocDetail.DESCRIPTION := "Widget Large"
            PH_PI.cdsDocDetail.Qty := 10.0
            PH_PI.cdsDocDetail.UOM := "UNIT"
            PH_PI.cdsDocDetail.UnitPrice := 6.0
            PH_PI.cdsDocDetail.Account := "610-000"
            PH_PI.cdsDocDetail.DISC := "2"
            PH_PI.cdsDocDetail.TAX := "TX"
            PH_PI.cdsDocDetail.TAXAMT := 3.5
            PH_PI.cdsDocDetail.Post
            PH_PI.cdsDocDetail.Append
            PH_PI.cdsDocDetail.DtlKey := "-2"
            PH_PI.cdsDocDetail.DocKey := "-1"
            PH_PI.cdsDocDetail.ItemCode := "P2"
            PH_PI.cdsDocDetail.DESCRIPTION := "Gadget"
            PH_PI.cdsDocDetail.Qty := 4.0
            PH_PI.cdsDocDetail.UOM := "UNIT"
            PH_PI.cdsDocDetail.Account := "610-000"
            PH_PI.cdsDocDetail.TAX := "TX"
            PH_PI.cdsDocDetail.TAXINCLUSIVE := false
            PH_PI.cdsDocDetail.UnitPrice := 5.3
            PH_PI.cdsDocDetail.AMOUNT := 20.0
            PH_PI.cdsDocDetail.TAXAMT := 1.2
            PH_PI.cdsDocDetail.DisableControls
            PH_PI.cdsDocDetail.TAXINCLUSIVE := true
            PH_PI.cdsDocDetail.EnableControls
            PH_PI.cdsDocDetail.Post
            PH_PI.Save
            PH_PI.FindKeyByRef("DocNo;Code",["S001-R300","V-0001"])
            PH_PI.Params.DocKey := "12"
            PH_PI.Open
            PH_PI.DataSets.Find("MainDataSet")
            PH_PI.MainDataSet.CODE.AsString
            PH_PI.MainDataSet.DOCDATE.Value
            PH_PI.MainDataSet.DocAmt.AsFloat
            PH_PI.Close
        )")});

    QTest::newRow("PH_SC in another mode: totals without description")
        << otherMode << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "PH_SC", "E400", "S001-E400", "2024/03/09", "V-0001", 0,
                                      0);
           })
        << true
        << expected({kLogin, documentStart("PH_SC", "S001-E400", "2024/03/09", "V-0001"), text(R"(
            PH_SC.cdsDocDetail.Append
            PH_SC.cdsDocDetail.DtlKey := "-1"
            PH_SC.cdsDocDetail.DocKey := "-1"
            PH_SC.cdsDocDetail.Qty := 1.0
            PH_SC.cdsDocDetail.UOM := "UNIT"
            PH_SC.cdsDocDetail.UnitPrice := 14.0
            PH_SC.cdsDocDetail.Account := "612-000"
            PH_SC.cdsDocDetail.TAX := "TX"
            PH_SC.cdsDocDetail.TAXAMT := 0.75
            PH_SC.cdsDocDetail.Post
            PH_SC.Save
            PH_SC.Close
        )")});

    QTest::newRow("PH_SC totals with a tariff code: lines without an item code carry it")
        << QStringList{"GENERAL/EXPORT_MODE=2", "SQLACC/TARIFF_CODE=9801.00.00"} << none
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "PH_SC", "E400", "S001-E400", "2024/03/09", "V-0001", 0,
                                      0);
           })
        << true
        << expected({kLogin, documentStart("PH_SC", "S001-E400", "2024/03/09", "V-0001"), text(R"(
            PH_SC.cdsDocDetail.Append
            PH_SC.cdsDocDetail.DtlKey := "-1"
            PH_SC.cdsDocDetail.DocKey := "-1"
            PH_SC.cdsDocDetail.Qty := 1.0
            PH_SC.cdsDocDetail.UOM := "UNIT"
            PH_SC.cdsDocDetail.UnitPrice := 14.0
            PH_SC.cdsDocDetail.Account := "612-000"
            PH_SC.cdsDocDetail.TARIFF := "9801.00.00"
            PH_SC.cdsDocDetail.TAX := "TX"
            PH_SC.cdsDocDetail.TAXAMT := 0.75
            PH_SC.cdsDocDetail.Post
            PH_SC.Save
            PH_SC.Close
        )")});

    QTest::newRow("stock document without lines: false, no call")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_IV", "NONE", "IV-0", "2024/03/06", "300-C1", 0, 0);
           })
        << false << QStringList();

    QTest::newRow("cash receipt without open lines: false, no call")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000009", "2024/03/05",
                                      "300-POS", 0, 0);
           })
        << false << QStringList();

    const QString arInvoiceHeader = QStringLiteral(R"(
        BizObjects.Find("AR_IV")
        AR_IV.DataSets.Find("MainDataSet")
        AR_IV.DataSets.Find("cdsDocDetail")
        AR_IV.FindKeyByRef("DOCNO","IV-1001")
        AR_IV.New
        AR_IV.MainDataSet.DOCKEY := "-1"
        AR_IV.MainDataSet.DOCNO := "IV-1001"
        AR_IV.MainDataSet.DOCDATE := "2024/03/01"
        AR_IV.MainDataSet.POSTDATE := "2024/03/01"
        AR_IV.MainDataSet.TAXDATE := "2024/03/01"
        AR_IV.MainDataSet.CODE := "300-C1"
        AR_IV.MainDataSet.AREA := "----"
        AR_IV.MainDataSet.AGENT := "----"
        AR_IV.MainDataSet.CURRENCYCODE := "----"
        AR_IV.MainDataSet.DESCRIPTION := "Invoice 1"
        AR_IV.MainDataSet.TERMS := "C.O.D"
    )");
    // The second line is tax-inclusive with its given tax (0): written as documented.
    QTest::newRow("AR_IV new: every receivable line, amounts also when 0")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_IV", "INV/1", "IV-1001", "2024/03/01", "300-C1", 106,
                                     0);
           })
        << true << expected({kLogin, arInvoiceHeader, text(R"(
            AR_IV.cdsDocDetail.Append
            AR_IV.cdsDocDetail.DtlKey := "-1"
            AR_IV.cdsDocDetail.DocKey := "-1"
            AR_IV.cdsDocDetail.DESCRIPTION := "Line A"
            AR_IV.cdsDocDetail.Account := "500-000"
            AR_IV.cdsDocDetail.TAX := "SR"
            AR_IV.cdsDocDetail.TAXAMT := 6.0
            AR_IV.cdsDocDetail.AMOUNT := 100.0
            AR_IV.cdsDocDetail.Post
            AR_IV.cdsDocDetail.Append
            AR_IV.cdsDocDetail.DtlKey := "-2"
            AR_IV.cdsDocDetail.DocKey := "-1"
            AR_IV.cdsDocDetail.DESCRIPTION := "Line B"
            AR_IV.cdsDocDetail.Account := "500-000"
            AR_IV.cdsDocDetail.TAX := "ZR"
            AR_IV.cdsDocDetail.TAXINCLUSIVE := false
            AR_IV.cdsDocDetail.AMOUNT := 0.0
            AR_IV.cdsDocDetail.TAXAMT := 0.0
            AR_IV.cdsDocDetail.DisableControls
            AR_IV.cdsDocDetail.TAXINCLUSIVE := true
            AR_IV.cdsDocDetail.EnableControls
            AR_IV.cdsDocDetail.Post
            AR_IV.Save
            AR_IV.Close
        )")});

    QTest::newRow("AR_IV with a tariff code, build 859: on every line, none of which has an item")
        << QStringList{"SQLACC/TARIFF_CODE=9801.00.00"} << build859
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_IV", "INV/1", "IV-1001", "2024/03/01", "300-C1", 106,
                                     0);
           })
        << true << expected({kLogin, arInvoiceHeader, text(R"(
            AR_IV.cdsDocDetail.Append
            AR_IV.cdsDocDetail.DtlKey := "-1"
            AR_IV.cdsDocDetail.DocKey := "-1"
            AR_IV.cdsDocDetail.DESCRIPTION := "Line A"
            AR_IV.cdsDocDetail.Account := "500-000"
            AR_IV.cdsDocDetail.TARIFF := "9801.00.00"
            AR_IV.cdsDocDetail.TAX := "SR"
            AR_IV.cdsDocDetail.TAXAMT := 6.0
            AR_IV.cdsDocDetail.AMOUNT := 100.0
            AR_IV.cdsDocDetail.Post
            AR_IV.cdsDocDetail.Append
            AR_IV.cdsDocDetail.DtlKey := "-2"
            AR_IV.cdsDocDetail.DocKey := "-1"
            AR_IV.cdsDocDetail.DESCRIPTION := "Line B"
            AR_IV.cdsDocDetail.Account := "500-000"
            AR_IV.cdsDocDetail.TARIFF := "9801.00.00"
            AR_IV.cdsDocDetail.TAX := "ZR"
            AR_IV.cdsDocDetail.TAXINCLUSIVE := 0
            AR_IV.cdsDocDetail.AMOUNT := 0.0
            AR_IV.cdsDocDetail.TAXAMT := 0.0
            AR_IV.cdsDocDetail.DisableControls
            AR_IV.cdsDocDetail.TAXINCLUSIVE := 1
            AR_IV.cdsDocDetail.EnableControls
            AR_IV.cdsDocDetail.Post
            AR_IV.Save
            AR_IV.Close
        )")});

    QTest::newRow("AR_IV from the POS: a sales invoice with number and reference swapped")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_IV", "INV/2", "D100", "2024/03/06", "300-C1", 33, 0);
           })
        << true
        << expected({kLogin, text(R"(
            BizObjects.Find("SL_IV")
            SL_IV.FindKeyByRef("DOCNO","INV/2")
            SL_IV.Close
        )"),
                     kLogin, documentStart("SL_IV", "INV/2", "2024/03/06", "300-C1"),
                     text(R"(SL_IV.MainDataSet.DOCREF1 := "D100")"), text(kD100Lines)});

    QTest::newRow("AR_DN new") << byItem << none << PostingCall([](const PostingSources& s) {
        return SQLAccExportAR(s, "AR_DN", "DN/1", "DN-1", "2024/03/02", "300-C1", 10.5, 0);
    }) << true << expected({kLogin, text(R"(
            BizObjects.Find("AR_DN")
            AR_DN.DataSets.Find("MainDataSet")
            AR_DN.DataSets.Find("cdsDocDetail")
            AR_DN.FindKeyByRef("DOCNO","DN-1")
            AR_DN.New
            AR_DN.MainDataSet.DOCKEY := "-1"
            AR_DN.MainDataSet.DOCNO := "DN-1"
            AR_DN.MainDataSet.DOCDATE := "2024/03/02"
            AR_DN.MainDataSet.POSTDATE := "2024/03/02"
            AR_DN.MainDataSet.TAXDATE := "2024/03/02"
            AR_DN.MainDataSet.CODE := "300-C1"
            AR_DN.MainDataSet.AREA := "----"
            AR_DN.MainDataSet.AGENT := "----"
            AR_DN.MainDataSet.CURRENCYCODE := "----"
            AR_DN.MainDataSet.DESCRIPTION := "Debit 1"
            AR_DN.MainDataSet.TERMS := "C.O.D"
            AR_DN.cdsDocDetail.Append
            AR_DN.cdsDocDetail.DtlKey := "-1"
            AR_DN.cdsDocDetail.DocKey := "-1"
            AR_DN.cdsDocDetail.DESCRIPTION := "Charge"
            AR_DN.cdsDocDetail.Account := "500-000"
            AR_DN.cdsDocDetail.TAX := "SR"
            AR_DN.cdsDocDetail.TAXAMT := 0.5
            AR_DN.cdsDocDetail.AMOUNT := 10.0
            AR_DN.cdsDocDetail.Post
            AR_DN.Save
            AR_DN.Close
        )")});

    const QString creditNote = QStringLiteral(R"(
            BizObjects.Find("AR_CN")
            AR_CN.DataSets.Find("MainDataSet")
            AR_CN.DataSets.Find("cdsDocDetail")
            AR_CN.FindKeyByRef("DOCNO","CN-1")
            AR_CN.New
            AR_CN.MainDataSet.DOCKEY := "-1"
            AR_CN.MainDataSet.DOCNO := "CN-1"
            AR_CN.MainDataSet.DOCDATE := "2024/03/03"
            AR_CN.MainDataSet.POSTDATE := "2024/03/03"
            AR_CN.MainDataSet.TAXDATE := "2024/03/03"
            AR_CN.MainDataSet.CODE := "300-C1"
            AR_CN.MainDataSet.AREA := "----"
            AR_CN.MainDataSet.AGENT := "----"
            AR_CN.MainDataSet.CURRENCYCODE := "----"
            AR_CN.MainDataSet.DESCRIPTION := "Credit 1"
            AR_CN.MainDataSet.UNAPPLIEDAMT := 0.0
            AR_CN.cdsDocDetail.Append
            AR_CN.cdsDocDetail.DtlKey := "-1"
            AR_CN.cdsDocDetail.DocKey := "-1"
            AR_CN.cdsDocDetail.DESCRIPTION := "Return"
            AR_CN.cdsDocDetail.Account := "510-000"
            AR_CN.cdsDocDetail.TAX := "SR"
            AR_CN.cdsDocDetail.TAXAMT := 0.25
            AR_CN.cdsDocDetail.AMOUNT := 5.0
            AR_CN.cdsDocDetail.Post
            AR_CN.DataSets.Find("cdsKnockOff")
            AR_CN.cdsKnockOff.Locate("DocType;DocNo",["IV","IV-1001"],false,false)
            AR_CN.cdsKnockOff.Edit
            AR_CN.cdsKnockOff.KOAmt := 5.25
            AR_CN.cdsKnockOff.KNOCKOFF := %1
            AR_CN.cdsKnockOff.Post
            AR_CN.Save
            AR_CN.Close
        )");
    QTest::newRow("AR_CN new with its knock-off")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setLocateResult({"IV", "IV-1001"}, true);
           })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_CN", "CN/1", "CN-1", "2024/03/03", "300-C1", 5.25, 0);
           })
        << true << expected({kLogin, creditNote.arg("true")});

    QTest::newRow("AR_CN, build 859: the knock-off flag as \"T\"")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setBuildNo(kBuild859);
               p.setLocateResult({"IV", "IV-1001"}, true);
           })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_CN", "CN/1", "CN-1", "2024/03/03", "300-C1", 5.25, 0);
           })
        << true << expected({kLogin, creditNote.arg(R"("T")")});

    const char* const paymentKnockOff = R"(
        AR_PM.DataSets.Find("cdsKnockOff")
        AR_PM.cdsKnockOff.Locate("DocType;DocNo",["IV","IV-1001"],false,false)
        AR_PM.cdsKnockOff.Edit
        AR_PM.cdsKnockOff.KOAmt := 45.0
        AR_PM.cdsKnockOff.KNOCKOFF := true
        AR_PM.cdsKnockOff.Post
        AR_PM.cdsKnockOff.Locate("DocType;DocNo",["CN","CN-9"],false,false)
        AR_PM.Save
        AR_PM.Close
    )";
    QTest::newRow("AR_PM new: no lines, net total twice, a knock-off not listed is passed over")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setLocateResult({"IV", "IV-1001"}, true);
           })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_PM", "OR/1", "OR-1", "2024/03/04", "300-C1", 60, 0);
           })
        << true
        << expected({kLogin, text(R"(
            BizObjects.Find("AR_PM")
            AR_PM.DataSets.Find("MainDataSet")
            AR_PM.FindKeyByRef("DOCNO","OR-1")
            AR_PM.New
            AR_PM.MainDataSet.DOCKEY := "-1"
            AR_PM.MainDataSet.DOCNO := "OR-1"
            AR_PM.MainDataSet.DOCDATE := "2024/03/04"
            AR_PM.MainDataSet.POSTDATE := "2024/03/04"
            AR_PM.MainDataSet.CODE := "300-C1"
            AR_PM.MainDataSet.AREA := "----"
            AR_PM.MainDataSet.AGENT := "----"
            AR_PM.MainDataSet.CURRENCYCODE := "----"
            AR_PM.MainDataSet.DESCRIPTION := "Payment 1"
            AR_PM.MainDataSet.PAYMENTMETHOD := "320-000"
            AR_PM.MainDataSet.DOCAMT := 60.0
            AR_PM.MainDataSet.LOCALDOCAMT := 60.0
            AR_PM.MainDataSet.UNAPPLIEDAMT := 10.0
        )"),
                     text(paymentKnockOff)});

    // The document the package holds under the number is read first: this payment's customer.
    QTest::newRow("AR_PM held by the package: unapplied amount and knock-off only")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setKey("AR_PM", "OR-1", 12);
               p.setReadValue("AR_PM", "CODE", "300-C1");
               p.setLocateResult({"IV", "IV-1001"}, true);
           })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_PM", "OR/1", "OR-1", "2024/03/04", "300-C1", 60, 0);
           })
        << true
        << expected({kLogin, text(R"(
            BizObjects.Find("AR_PM")
            AR_PM.DataSets.Find("MainDataSet")
            AR_PM.FindKeyByRef("DOCNO","OR-1")
            AR_PM.Params.DocKey := "12"
            AR_PM.Open
            AR_PM.DataSets.Find("MainDataSet")
            AR_PM.MainDataSet.CODE.AsString
            AR_PM.MainDataSet.DOCDATE.Value
            AR_PM.MainDataSet.DocAmt.AsFloat
            AR_PM.Edit
            AR_PM.MainDataSet.UNAPPLIEDAMT := 10.0
        )"),
                     text(paymentKnockOff)});

    QTest::newRow("receivable document without rows: false, no call")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportAR(s, "AR_DN", "DN/9", "DN-9", "2024/03/02", "300-C1", 0, 0);
           })
        << false << QStringList();

    QTest::newRow("AP_SUPPLIER ALL: one held (updated), one new named by its code")
        << byItem
        << PackageScript([](RecordingPackage& p) { p.setKey("AP_SUPPLIER", "V-0001", "V-0001"); })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportMaster(s, "AP_SUPPLIER", "400-000", "ALL");
           })
        << true << expected({kLogin, text(R"(
            BizObjects.Find("AP_SUPPLIER")
            AP_SUPPLIER.DataSets.Find("MainDataSet")
            AP_SUPPLIER.DataSets.Find("cdsBranch")
            AP_SUPPLIER.FindKeyByRef("CODE","V-0001")
            AP_SUPPLIER.Params.CODE := "V-0001"
            AP_SUPPLIER.Open
            AP_SUPPLIER.Edit
            AP_SUPPLIER.MainDataSet.CODE := "V-0001"
            AP_SUPPLIER.MainDataSet.CONTROLACCOUNT := "400-000"
            AP_SUPPLIER.MainDataSet.COMPANYNAME := "Acme Supplies"
            AP_SUPPLIER.MainDataSet.GSTNO := "GST1"
            AP_SUPPLIER.MainDataSet.Post
            AP_SUPPLIER.cdsBranch.Edit
            AP_SUPPLIER.cdsBranch.CODE := "V-0001"
            AP_SUPPLIER.cdsBranch.ADDRESS1 := "1 Road"
            AP_SUPPLIER.cdsBranch.ADDRESS2 := "Town"
            AP_SUPPLIER.cdsBranch.ADDRESS3 := ""
            AP_SUPPLIER.cdsBranch.PHONE1 := "03-111"
            AP_SUPPLIER.cdsBranch.PHONE2 := "012-222"
            AP_SUPPLIER.cdsBranch.ATTENTION := "Ann"
            AP_SUPPLIER.cdsBranch.FAX1 := "03-333"
            AP_SUPPLIER.cdsBranch.EMAIL := "a@x.com"
            AP_SUPPLIER.cdsBranch.Post
            AP_SUPPLIER.Save
            AP_SUPPLIER.Close
            AP_SUPPLIER.FindKeyByRef("CODE","V-0002")
            AP_SUPPLIER.New
            AP_SUPPLIER.MainDataSet.CODE := "V-0002"
            AP_SUPPLIER.MainDataSet.CONTROLACCOUNT := "400-000"
            AP_SUPPLIER.MainDataSet.COMPANYNAME := "V-0002"
            AP_SUPPLIER.MainDataSet.GSTNO := ""
            AP_SUPPLIER.MainDataSet.Post
            AP_SUPPLIER.cdsBranch.Edit
            AP_SUPPLIER.cdsBranch.CODE := "V-0002"
            AP_SUPPLIER.cdsBranch.ADDRESS1 := ""
            AP_SUPPLIER.cdsBranch.ADDRESS2 := ""
            AP_SUPPLIER.cdsBranch.ADDRESS3 := ""
            AP_SUPPLIER.cdsBranch.PHONE1 := ""
            AP_SUPPLIER.cdsBranch.PHONE2 := ""
            AP_SUPPLIER.cdsBranch.ATTENTION := ""
            AP_SUPPLIER.cdsBranch.FAX1 := ""
            AP_SUPPLIER.cdsBranch.EMAIL := ""
            AP_SUPPLIER.cdsBranch.Post
            AP_SUPPLIER.Save
            AP_SUPPLIER.Close
        )")});

    const char* const newCustomerC1 = R"(
        AR_CUSTOMER.FindKeyByRef("CODE","300-C1")
        AR_CUSTOMER.New
        AR_CUSTOMER.MainDataSet.CODE := "300-C1"
        AR_CUSTOMER.MainDataSet.CONTROLACCOUNT := "%1"
        AR_CUSTOMER.MainDataSet.COMPANYNAME := "300-C1"
        AR_CUSTOMER.MainDataSet.GSTNO := ""
        AR_CUSTOMER.MainDataSet.Post
        AR_CUSTOMER.cdsBranch.Edit
        AR_CUSTOMER.cdsBranch.CODE := "300-C1"
        AR_CUSTOMER.cdsBranch.ADDRESS1 := ""
        AR_CUSTOMER.cdsBranch.ADDRESS2 := ""
        AR_CUSTOMER.cdsBranch.ADDRESS3 := ""
        AR_CUSTOMER.cdsBranch.PHONE1 := ""
        AR_CUSTOMER.cdsBranch.PHONE2 := ""
        AR_CUSTOMER.cdsBranch.ATTENTION := ""
        AR_CUSTOMER.cdsBranch.FAX1 := ""
        AR_CUSTOMER.cdsBranch.EMAIL := ""
        AR_CUSTOMER.cdsBranch.Post
        AR_CUSTOMER.Save
        AR_CUSTOMER.Close
    )";
    const char* const customerStart = R"(
        BizObjects.Find("AR_CUSTOMER")
        AR_CUSTOMER.DataSets.Find("MainDataSet")
        AR_CUSTOMER.DataSets.Find("cdsBranch")
    )";
    QTest::newRow("AR_CUSTOMER DIFF: the missing cash-sales customer first")
        << byItem << none << PostingCall([](const PostingSources& s) {
               return SQLAccExportMaster(s, "AR_CUSTOMER", "300-000", "DIFF");
           })
        << true
        << expected({kLogin, text(customerStart), text(R"(
            AR_CUSTOMER.FindKeyByRef("CODE","300-POS")
            AR_CUSTOMER.New
            AR_CUSTOMER.MainDataSet.CODE := "300-POS"
            AR_CUSTOMER.MainDataSet.CONTROLACCOUNT := "300-000"
            AR_CUSTOMER.MainDataSet.COMPANYNAME := "CASH SALES"
            AR_CUSTOMER.MainDataSet.Post
            AR_CUSTOMER.Save
            AR_CUSTOMER.Close
        )"),
                     text(newCustomerC1).arg("300-000")});

    QTest::newRow("AR_CUSTOMER: a held cash-sales customer is left alone; no dash gives -POS")
        << byItem
        << PackageScript([](RecordingPackage& p) { p.setKey("AR_CUSTOMER", "-POS", "-POS"); })
        << PostingCall([](const PostingSources& s) {
               return SQLAccExportMaster(s, "AR_CUSTOMER", "ABC", "DIFF");
           })
        << true
        << expected({kLogin, text(customerStart),
                     text(R"(AR_CUSTOMER.FindKeyByRef("CODE","-POS"))"),
                     text(newCustomerC1).arg("ABC")});

    const char* const stockItems = R"(
            BizObjects.Find("ST_ITEM")
            ST_ITEM.DataSets.Find("MainDataSet")
            ST_ITEM.DataSets.Find("cdsUOM")
            ST_ITEM.FindKeyByRef("CODE","P1")
            ST_ITEM.Params.DocKey := "7"
            ST_ITEM.Open
            ST_ITEM.Edit
            ST_ITEM.MainDataSet.CODE := "P1"
            ST_ITEM.MainDataSet.DESCRIPTION := "Widget"
            ST_ITEM.Save
            ST_ITEM.Close
            ST_ITEM.FindKeyByRef("CODE","P2")
            ST_ITEM.New
            ST_ITEM.MainDataSet.CODE := "P2"
            ST_ITEM.MainDataSet.DESCRIPTION := "P2"
            ST_ITEM.cdsUOM.Append
            ST_ITEM.cdsUOM.UOM := "UNIT"
            ST_ITEM.cdsUOM.Rate := 1.0
            ST_ITEM.cdsUOM.IsBase := %1
            ST_ITEM.cdsUOM.Post
            ST_ITEM.Save
            ST_ITEM.Close
        )";
    QTest::newRow("ST_ITEM ALL: one held (by DocKey), one new with its unit")
        << byItem << PackageScript([](RecordingPackage& p) { p.setKey("ST_ITEM", "P1", 7); })
        << PostingCall(
               [](const PostingSources& s) { return SQLAccExportMaster(s, "ST_ITEM", "", "ALL"); })
        << true << expected({kLogin, text(stockItems).arg("true")});

    QTest::newRow("ST_ITEM, build 859: the base unit as 1")
        << byItem << PackageScript([](RecordingPackage& p) {
               p.setBuildNo(kBuild859);
               p.setKey("ST_ITEM", "P1", 7);
           })
        << PostingCall(
               [](const PostingSources& s) { return SQLAccExportMaster(s, "ST_ITEM", "", "ALL"); })
        << true << expected({kLogin, text(stockItems).arg("1")});
}

void TestPostingCalls::callSequence() {
    QFETCH(QStringList, settings);
    QFETCH(PackageScript, script);
    QFETCH(PostingCall, call);
    QFETCH(bool, result);
    QFETCH(QStringList, log);

    WritePostingSettings(settings);
    auto package = std::make_shared<RecordingPackage>();
    package->setBuildNo(kBuild860);
    script(*package);
    SetBizAppFactory([package] { return package; });

    QCOMPARE(call(*sources_), result);
    QStringList actual;
    for (const std::string& line : package->log().lines())
        actual << QString::fromStdString(line);
    for (qsizetype i = 0; i < std::max(actual.size(), log.size()); ++i) {
        const QString got = actual.value(i, QStringLiteral("(nothing more)"));
        const QString want = log.value(i, QStringLiteral("(nothing more)"));
        QVERIFY2(got == want, qPrintable(QStringLiteral("call %1:\n   logged:   %2\n   "
                                                        "expected: %3")
                                             .arg(i + 1)
                                             .arg(got, want)));
    }
}

void TestPostingCalls::receiptNumberThatIsNoNumberStopsBeforeThePackage() {
    WritePostingSettings({});
    auto package = std::make_shared<RecordingPackage>();
    SetBizAppFactory([package] { return package; });
    try {
        SQLAccExportDoc(*sources_, "SL_CS", "01", "S001-01-00000000X", "2024/03/05", "300-POS", 1,
                        0);
        QFAIL("no error");
    } catch (const PostingError& error) {
        QCOMPARE(error.message(), QStringLiteral("'00000000X' is not a valid integer value"));
    }
    QCOMPARE(package->log().callCount(), std::size_t(0));
}

void TestPostingCalls::loginErrorStopsThePosting() {
    WritePostingSettings({});
    SetBizAppFactory([]() -> AutoObjectPtr { throw AutomationError("Invalid class string"); });
    try {
        SQLAccExportAR(*sources_, "AR_DN", "DN/1", "DN-1", "2024/03/02", "300-C1", 10.5, 0);
        QFAIL("no error");
    } catch (const AutomationError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Invalid class string"));
    }
}

// The package's company is checked before anything is posted when COMPANY_NAME is set: another
// company's books, or books the package does not name, stop the posting after the login.
void TestPostingCalls::booksOfAnotherCompanyStopBeforePosting_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("package"); // what the profile names; empty: no profile
    QTest::addColumn<QString>("error");   // empty: posted
    QTest::newRow("no setting") << ""
                                << "Other Sdn Bhd"
                                << "";
    QTest::newRow("the books named, in another letter case") << "Zantro Trading Sdn Bhd"
                                                             << "ZANTRO TRADING SDN BHD"
                                                             << "";
    QTest::newRow("another company's books")
        << "Zantro Trading Sdn Bhd"
        << "Other Sdn Bhd"
        << "The accounting package has the books of \"Other Sdn Bhd\" open, but this installation "
           "posts into the books of \"Zantro Trading Sdn Bhd\" (COMPANY_NAME in section SQLACC): "
           "nothing was posted. Open the books of \"Zantro Trading Sdn Bhd\" in the package, then "
           "export again.";
    QTest::newRow("books the package does not name")
        << "Zantro Trading Sdn Bhd"
        << ""
        << "The accounting package does not say whose books it has open, so nothing was posted: "
           "COMPANY_NAME in section SQLACC asks for the books of \"Zantro Trading Sdn Bhd\". The "
           "package said: no profile";
}

void TestPostingCalls::booksOfAnotherCompanyStopBeforePosting() {
    QFETCH(QString, setting);
    QFETCH(QString, package);
    QFETCH(QString, error);
    WritePostingSettings({"SQLACC/COMPANY_NAME=" + setting});
    auto recorder = std::make_shared<RecordingPackage>();
    if (package.isEmpty())
        recorder->failCall("CalculateReport", 1, "no profile");
    else
        recorder->setReadValue("Common.Agent.RO", "CompanyName", package.toStdString());
    SetBizAppFactory([recorder] { return recorder; });
    QString raised;
    try {
        SQLAccExportAR(*sources_, "AR_DN", "DN/1", "DN-1", "2024/03/02", "300-C1", 10.5, 0);
    } catch (const PackageSessionError& stopped) {
        raised = stopped.message();
    }
    QCOMPARE(raised, error);
    const bool posted = recorder->log().text().find("AR_DN.Save") != std::string::npos;
    QCOMPARE(posted, error.isEmpty());
}

void TestPostingCalls::posTaxCodesAreKeptOnlyAsLongAsAllowed() {
    PosTaxCodeCache kept(60'000);
    PosTaxCodeCache fresh(0);
    QCOMPARE(kept.get(*app_).zeroRated, QStringLiteral("ZR"));
    QCOMPARE(fresh.get(*app_).zeroRated, QStringLiteral("ZR"));
    const auto restore = qScopeGuard(
        [this] { app_->execute("UPDATE MAS_TAX SET M_TAX_CODE = 'ZR' WHERE M_CODE = 'TAX2'"); });
    app_->execute("UPDATE MAS_TAX SET M_TAX_CODE = 'Z0' WHERE M_CODE = 'TAX2'");
    QCOMPARE(kept.get(*app_).zeroRated, QStringLiteral("ZR"));
    QCOMPARE(fresh.get(*app_).zeroRated, QStringLiteral("Z0"));
    QCOMPARE(fresh.get(*app_).standard, QStringLiteral("SR"));
    QVERIFY(fresh.get(*app_).standardInclusive);
}

QTEST_GUILESS_MAIN(TestPostingCalls)
#include "test_posting_calls.moc"
