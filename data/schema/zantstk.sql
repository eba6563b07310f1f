-- Stock and POS database (alias ZantStk): POS receipts and their lines, the
-- close information of each counter-day, the stock ledger and the back office's
-- table of last update dates.
-- These tables belong to the POS back office; the accounting link reads them
-- and sets their export flags to 'T' once a document has been posted.
-- The link's own tables in this database are in link_tables.sql.

-- POS receipts, one row per sale. SALES_TRANSNO is the receipt's transaction
-- number and SALES_RCPTNO the printed receipt number (the same number);
-- transaction numbers may start again, so the sale time is part of the key.
-- SALES_STATUS 'NS' is a normal sale.
CREATE TABLE POS_SALES (
    SALES_STORE CHAR(4) NOT NULL,
    SALES_CTRNO VARCHAR(4) NOT NULL,
    SALES_TRANSNO INTEGER NOT NULL,
    SALES_DATETIME TIMESTAMP NOT NULL,
    SALES_RCPTNO INTEGER,
    SALES_CLOSEDATE TIMESTAMP,
    SALES_CASHIER CHAR(6),
    SALES_STATUS CHAR(2),
    SALES_TAX1 DOUBLE PRECISION DEFAULT 0,
    SALES_NETSALES DOUBLE PRECISION DEFAULT 0,
    SALES_ROUND_ADJ DOUBLE PRECISION DEFAULT 0,
    SALES_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_POS_SALES PRIMARY KEY (SALES_STORE, SALES_CTRNO, SALES_TRANSNO, SALES_DATETIME)
);

-- POS receipt lines; the first four key columns repeat those of the receipt.
-- SDTL_TAXSYMBOL is 'S' standard rated, 'Z' zero rated, 'E' exempt.
CREATE TABLE POS_SALESDTL (
    SDTL_STORE CHAR(4) NOT NULL,
    SDTL_CTRNO VARCHAR(4) NOT NULL,
    SDTL_TRANSNO INTEGER NOT NULL,
    SDTL_DATETIME TIMESTAMP NOT NULL,
    SDTL_LINENO INTEGER NOT NULL,
    SDTL_CLOSEDATE TIMESTAMP,
    SDTL_PLUNO VARCHAR(20),
    SDTL_QTY DOUBLE PRECISION DEFAULT 0,
    SDTL_SELLPRICE DOUBLE PRECISION DEFAULT 0,
    SDTL_DISCAMT DOUBLE PRECISION DEFAULT 0,
    SDTL_TAXSYMBOL CHAR(1),
    SALES_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_POS_SALESDTL
        PRIMARY KEY (SDTL_STORE, SDTL_CTRNO, SDTL_TRANSNO, SDTL_DATETIME, SDTL_LINENO)
);

-- Close information, one row per store, counter and close day (the day's
-- totals by tax kind: 1 standard rated, 2 zero rated, 3 exempt).
CREATE TABLE POS_CLOSEINFO (
    CI_STORE CHAR(4) NOT NULL,
    CI_CTRNO VARCHAR(4) NOT NULL,
    CI_CLOSEDATE TIMESTAMP NOT NULL,
    SALES_STATUS CHAR(2),
    CI_GROSS DOUBLE PRECISION DEFAULT 0,
    CI_NETSALES DOUBLE PRECISION DEFAULT 0,
    CI_TAXABLEAMT1 DOUBLE PRECISION DEFAULT 0,
    CI_TAXABLEAMT2 DOUBLE PRECISION DEFAULT 0,
    CI_TAXABLEAMT3 DOUBLE PRECISION DEFAULT 0,
    CI_TAX1 DOUBLE PRECISION DEFAULT 0,
    CI_TAX2 DOUBLE PRECISION DEFAULT 0,
    CI_TAX3 DOUBLE PRECISION DEFAULT 0,
    CI_TOTROUNDING DOUBLE PRECISION DEFAULT 0,
    CI_TAX_INCLUSIVE CHAR(1) DEFAULT 'F',
    CI_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_POS_CLOSEINFO PRIMARY KEY (CI_STORE, CI_CTRNO, CI_CLOSEDATE)
);

-- Stock ledger headers, one row per stock document. S_DOCUMENT: 'D' delivery
-- order or sales return (negative quantity), 'R' stock receiving, 'E' return
-- outwards; other kinds are not exported. S_STATUS 'P' is posted. S_TAXAMT,
-- S_TOTAL and S_NETTOTAL are selling amounts, S_COSTTOTAL and S_COSTNETTTL
-- cost amounts.
-- S_TOARSYS is 'T' once the receivables system took the document over.
CREATE TABLE STK_MLEDGER (
    S_ID VARCHAR(20) NOT NULL,
    S_DOCUMENT CHAR(1),
    S_STATUS CHAR(1),
    S_STORE_FROM CHAR(4),
    S_STORE_TO CHAR(4),
    S_REFNO VARCHAR(20),
    S_AR_INVOICE_NO VARCHAR(20),
    S_DATE TIMESTAMP,
    S_CUSTOMER VARCHAR(15),
    S_SUPPLIER VARCHAR(15),
    S_QTY DOUBLE PRECISION DEFAULT 0,
    S_TAXAMT DOUBLE PRECISION DEFAULT 0,
    S_TOTAL DOUBLE PRECISION DEFAULT 0,
    S_NETTOTAL DOUBLE PRECISION DEFAULT 0,
    S_COSTTOTAL DOUBLE PRECISION DEFAULT 0,
    S_COSTNETTTL DOUBLE PRECISION DEFAULT 0,
    S_REMARK VARCHAR(60),
    S_TOARSYS CHAR(1) DEFAULT 'F',
    S_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_STK_MLEDGER PRIMARY KEY (S_ID)
);

-- Stock ledger lines of a document (S_ID of the header, S_SEQ the line).
-- Quantities and amounts keep the sign of the document (negative on returns).
CREATE TABLE STK_SLEDGER (
    S_ID VARCHAR(20) NOT NULL,
    S_SEQ INTEGER NOT NULL,
    S_PLUCODE VARCHAR(20),
    S_REASON VARCHAR(40),
    S_QTY DOUBLE PRECISION DEFAULT 0,
    S_PRICE DOUBLE PRECISION DEFAULT 0,
    S_DISCOUNT DOUBLE PRECISION DEFAULT 0,
    S_TOTAL DOUBLE PRECISION DEFAULT 0,
    S_COST DOUBLE PRECISION DEFAULT 0,
    S_COSTDISC DOUBLE PRECISION DEFAULT 0,
    S_COSTTOTAL DOUBLE PRECISION DEFAULT 0,
    S_TAX_CODE VARCHAR(10),
    S_TAX_AMT DOUBLE PRECISION DEFAULT 0,
    S_TAX_INCLUSIVE CHAR(1) DEFAULT 'F',
    S_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_STK_SLEDGER PRIMARY KEY (S_ID, S_SEQ)
);

-- Last update of each data file (job code) sent between the back-office programs.
CREATE TABLE MAS_DATE_UPDATE (
    M_FILE VARCHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_LASTUPDATE TIMESTAMP,
    CONSTRAINT PK_MAS_DATE_UPDATE PRIMARY KEY (M_FILE)
);

-- Receipts of a counter's close day: day-end processing, and marking a whole
-- counter-day as exported.
CREATE INDEX POS_SALES_CLOSEDATE ON POS_SALES (SALES_STORE, SALES_CTRNO, SALES_CLOSEDATE);

-- Receipts not yet exported from a date on: the export search.
CREATE INDEX POS_SALES_EXPORT ON POS_SALES (SALES_EXPORT_ACCT, SALES_DATETIME);

-- Receipt lines of a counter's close day, as for POS_SALES.
CREATE INDEX POS_SALESDTL_CLOSEDATE ON POS_SALESDTL (SDTL_STORE, SDTL_CTRNO, SDTL_CLOSEDATE);

-- Item sales reports.
CREATE INDEX POS_SALESDTL_PLUNO ON POS_SALESDTL (SDTL_PLUNO);

-- Close days not yet exported from a date on: the export search in summary mode.
CREATE INDEX POS_CLOSEINFO_EXPORT ON POS_CLOSEINFO (CI_EXPORT_ACCT, CI_CLOSEDATE);

-- Stock documents of a kind by date: the back office's journals.
CREATE INDEX STK_MLEDGER_DOCUMENT ON STK_MLEDGER (S_DOCUMENT, S_DATE);

-- Stock documents found by their reference number.
CREATE INDEX STK_MLEDGER_REFNO ON STK_MLEDGER (S_REFNO);

-- Stock documents of a kind not yet exported, from a date on: the export searches.
CREATE INDEX STK_MLEDGER_EXPORT ON STK_MLEDGER (S_EXPORT_ACCT, S_DOCUMENT, S_DATE);

-- Stock movements of an item.
CREATE INDEX STK_SLEDGER_PLUCODE ON STK_SLEDGER (S_PLUCODE);
