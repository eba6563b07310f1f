#include "tests/sqlacc/posting_fixture.h"

#include "config/settings_file.h"
#include "data/connection.h"

#include <QFile>
#include <QStringList>

namespace {

void run(DbConnection& db, const QStringList& statements) {
    for (const QString& statement : statements)
        db.execute(statement);
}

} // namespace

void InsertPostingFixture(const PostingSources& sources) {
    run(sources.app,
        {
            "INSERT INTO MAS_TAX (M_TAX_GROUP, M_CODE, M_TAX_CODE, M_CALCULATION) "
            "VALUES ('POS', 'TAX1', 'SR ', '3')",
            "INSERT INTO MAS_TAX (M_TAX_GROUP, M_CODE, M_TAX_CODE) VALUES ('POS', 'TAX2', 'ZR')",
            "INSERT INTO MAS_STOCK (M_PLUCODE, M_DESC, M_SHORTDESC, M_EXPORT_ACCT) "
            "VALUES ('P1', 'Widget Large', 'Widget', 'F')",
            "INSERT INTO MAS_STOCK (M_PLUCODE, M_DESC, M_SHORTDESC, M_EXPORT_ACCT) "
            "VALUES ('P2', 'Gadget', '', 'T')",
            "INSERT INTO MAS_SUPPLIER (M_CODE, M_DESC, M_CREDITOR, M_GST_NO, M_ADDR1, M_ADDR2, "
            "M_TEL, "
            "M_HPHONE, M_FAX, M_PTC, M_EMAIL, M_EXPORT_ACCT) VALUES ('SUP1', 'Acme Supplies', "
            "'V-0001', 'GST1', '1 Road', 'Town', '03-111', '012-222', '03-333', 'Ann', 'a@x.com', "
            "'F')",
            "INSERT INTO MAS_SUPPLIER (M_CODE, M_DESC, M_CREDITOR, M_EXPORT_ACCT) "
            "VALUES ('SUP2', '', 'V-0002', 'T')",
            "INSERT INTO MAS_CUSTOMER (M_CODE, M_DESC, M_DEBTOR, M_EXPORT_ACCT) "
            "VALUES ('C1', NULL, '300-C1', 'F')",
            "INSERT INTO MAS_CUSTOMER (M_CODE, M_DESC, M_DEBTOR, M_ADDR1, M_EXPORT_ACCT) "
            "VALUES ('C2', 'Bob', '300-C2', 'Hill 2', 'T')",
        });
    run(sources.stk,
        {
            "INSERT INTO POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, "
            "SDTL_LINENO, SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_DISCAMT, SDTL_TAXSYMBOL) "
            "VALUES ('S001', '01', 7, '2024-03-05 10:00:00', 1, 'P1', 2.5, 10, 0, 'S')",
            "INSERT INTO POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, "
            "SDTL_LINENO, SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_DISCAMT, SDTL_TAXSYMBOL) "
            "VALUES ('S001', '01', 7, '2024-03-05 10:00:00', 2, 'P2', 1, 5.5, 0.5, 'Z')",
            "INSERT INTO POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, "
            "SDTL_LINENO, SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_DISCAMT, SDTL_TAXSYMBOL) "
            "VALUES ('S001', '01', 7, '2024-03-05 10:00:00', 3, 'P3', 3.5, 0, 0, 'X')",
            // Another receipt of the same counter and day, and an exported line of receipt 7.
            "INSERT INTO POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, "
            "SDTL_LINENO, SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_TAXSYMBOL) "
            "VALUES ('S001', '01', 8, '2024-03-05 11:00:00', 1, 'P1', 1, 10, 'S')",
            "INSERT INTO POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, "
            "SDTL_LINENO, SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_TAXSYMBOL, SALES_EXPORT_ACCT) "
            "VALUES ('S001', '01', 7, '2024-03-05 10:00:00', 4, 'P1', 9, 10, 'S', 'T')",
            "INSERT INTO POS_CLOSEINFO (CI_STORE, CI_CTRNO, CI_CLOSEDATE, SALES_STATUS, "
            "CI_TAXABLEAMT1, CI_TAXABLEAMT2, CI_TAXABLEAMT3, CI_TAX1, CI_TAX2, CI_TAX3, "
            "CI_TOTROUNDING) VALUES ('S001', '01', '2024-03-05', 'NS', 100, 20, 5, 6, 0, 0, 0.03)",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_REASON, S_QTY, S_PRICE, "
            "S_DISCOUNT, "
            "S_TOTAL, S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) "
            "VALUES ('D100', 1, 'P1', NULL, 2, 10, 1, 19, 'SR', 1.25, 'F')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_REASON, S_QTY, S_PRICE, "
            "S_DISCOUNT, "
            "S_TOTAL, S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) "
            "VALUES ('D100', 2, 'P1', NULL, 1, 10, 0, 10, 'SR', 0.5, 'F')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_REASON, S_QTY, S_PRICE, "
            "S_DISCOUNT, "
            "S_TOTAL, S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) "
            "VALUES ('D100', 3, 'P2', 'FREE GIFT', 1, 0, 0, 0, 'ZR', 0, 'T')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_REASON, S_QTY, S_PRICE, "
            "S_DISCOUNT, "
            "S_TOTAL, S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) "
            "VALUES ('D100', 4, 'P9', NULL, 0.5, 4, 0, 2, 'SR', 0.25, 'F')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_REASON, S_QTY, S_PRICE, "
            "S_DISCOUNT, "
            "S_TOTAL, S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) "
            "VALUES ('C200', 1, 'P1', 'DAMAGED', -2, 10, 0, -20, 'SR', -1.25, 'F')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_QTY, S_PRICE, S_COST, S_COSTDISC, "
            "S_COSTTOTAL, S_TAX_CODE, S_TAX_AMT) VALUES ('R300', 1, 'P1', 10, 99, 6, 2, 58, 'TX', "
            "3.5)",
            // A price that includes its given tax: 4 x 5.30 = 21.20, of which 1.20 tax.
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_QTY, S_COST, S_COSTTOTAL, "
            "S_TAX_CODE, S_TAX_AMT, S_TAX_INCLUSIVE) VALUES ('R300', 2, 'P2', 4, 5.3, 21.2, 'TX', "
            "1.2, 'T')",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_QTY, S_COST, S_COSTTOTAL, "
            "S_TAX_CODE, "
            "S_TAX_AMT) VALUES ('E400', 1, 'P2', 2, 4, 8, 'TX', 0.5)",
            "INSERT INTO STK_SLEDGER (S_ID, S_SEQ, S_PLUCODE, S_QTY, S_COST, S_COSTTOTAL, "
            "S_TAX_CODE, "
            "S_TAX_AMT) VALUES ('E400', 2, 'P1', 1, 6, 6, 'TX', 0.25)",
        });
    const QString arTrans =
        "INSERT INTO AR_TRANS (TD_DOCNO, TD_SEQ, TD_TYPE, TD_STORE, TD_REFERENCE, TD_DATE, "
        "TD_CUSTID, TD_DESCRIPTION, TD_NOTE, TD_TAX_CODE, TD_TAX_INCLUSIVE, TD_TAX_AMT, "
        "TD_TOTAL, TD_NETTOTAL, TD_BALANCE, TD_IMPORT) VALUES ";
    const QString arLink = "INSERT INTO AR_LINK (LK_MASDOC, LK_TYPE, LK_DOCNO, LK_DATE, LK_TOTAL, "
                           "LK_EXPORT_ACCT) VALUES ";
    run(sources.ar,
        {
            arTrans + "('INV/1', 1, 'INV/', 'S001', 'IV-1001', '2024-03-01', 'C1', 'Invoice 1', "
                      "'Line A', 'SR ', 'F', 6, 100, 106, 106, 'F')",
            arTrans + "('INV/1', 2, 'INV/', 'S001', 'IV-1001', '2024-03-01', 'C1', 'Invoice 1', "
                      "'Line B', 'ZR', 'T', 0, 0, 106, 106, 'F')",
            arTrans + "('INV/2', 1, 'INV/', 'S001', 'D100', '2024-03-06', 'C1', 'From POS', "
                      "'Delivery', 'SR', 'F', 2, 31, 33, 33, 'T')",
            arTrans + "('DN/1', 1, 'DN/', 'S001', 'DN-1', '2024-03-02', 'C1', 'Debit 1', "
                      "'Charge', 'SR', 'F', 0.5, 10, 10.5, 10.5, 'F')",
            arTrans + "('CN/1', 1, 'CN/', 'S001', 'CN-1', '2024-03-03', 'C1', 'Credit 1', "
                      "'Return', 'SR', 'F', 0.25, 5, 5.25, 0, 'F')",
            arTrans + "('OR/1', 1, 'OR/', 'S001', 'OR-1', '2024-03-04', 'C1', 'Payment 1', "
                      "NULL, NULL, 'F', 0, 60, 60, 10, 'F')",
            arLink + "('CN/1', 'INV/', 'IV-1001', '2024-03-03', 5.25, 'F')",
            arLink + "('OR/1', 'INV/', 'IV-1001', '2024-03-04', 45, 'F')",
            arLink + "('OR/1', 'CN/', 'CN-9', '2024-03-04', 4, 'F')",
            arLink + "('OR/1', 'DN/', 'DN-1', '2024-03-04', 10.5, 'T')",
        });
}

void WritePostingSettings(const QStringList& values) {
    QFile::remove(SettingsFile::defaultPath());
    SettingsFile settings;
    settings.writeString("SQLACC", "USERLOGIN", "U");
    settings.writeString("SQLACC", "PASSWORD", "P");
    settings.writeString("SQLACC", "DCF", "x.dcf");
    settings.writeString("SQLACC", "SALES_TRANSACTION", "ACC.FDB");
    for (const QString& value : values) {
        const QString key = value.section('=', 0, 0);
        settings.writeString(key.section('/', 0, 0), key.section('/', 1), value.section('=', 1));
    }
}
