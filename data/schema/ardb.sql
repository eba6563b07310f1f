-- Accounts-receivable database (alias ARDB): receivable documents and the
-- knock-off links between payments or credit notes and the documents they settle.
-- These tables belong to the receivables program of the back office; the
-- accounting link reads them and sets their export flags to 'T'.

-- Receivable documents, one row per document line (TD_DOCNO, TD_SEQ). The
-- header columns (type, store, reference, date, customer, net total, balance,
-- export and import flags) are repeated on every line of a document; TD_TOTAL,
-- TD_TAX_AMT, TD_TAX_CODE, TD_NOTE and TD_TAX_INCLUSIVE belong to the line.
-- TD_TYPE is the document-number prefix: 'INV/', 'DN/', 'CN/' or 'OR/'.
-- TD_IMPORT is 'T' for an invoice taken over from a POS delivery order.
CREATE TABLE AR_TRANS (
    TD_DOCNO VARCHAR(20) NOT NULL,
    TD_SEQ INTEGER NOT NULL,
    TD_TYPE VARCHAR(4),
    TD_STORE CHAR(4),
    TD_REFERENCE VARCHAR(20),
    TD_DATE TIMESTAMP,
    TD_CUSTID VARCHAR(15),
    TD_DESCRIPTION VARCHAR(80),
    TD_NOTE VARCHAR(80),
    TD_TAX_CODE VARCHAR(10),
    TD_TAX_INCLUSIVE CHAR(1) DEFAULT 'F',
    TD_TAX_AMT DOUBLE PRECISION DEFAULT 0,
    TD_TOTAL DOUBLE PRECISION DEFAULT 0,
    TD_NETTOTAL DOUBLE PRECISION DEFAULT 0,
    TD_BALANCE DOUBLE PRECISION DEFAULT 0,
    TD_DUEDATE TIMESTAMP,
    TD_IMPORT CHAR(1) DEFAULT 'F',
    TD_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_AR_TRANS PRIMARY KEY (TD_DOCNO, TD_SEQ)
);

-- Knock-off links: the paying or crediting document LK_MASDOC settles
-- LK_TOTAL of the document LK_DOCNO of type LK_TYPE ('INV/', 'DN/', ...).
CREATE TABLE AR_LINK (
    LK_MASDOC VARCHAR(20) NOT NULL,
    LK_TYPE VARCHAR(4) NOT NULL,
    LK_DOCNO VARCHAR(20) NOT NULL,
    LK_DATE TIMESTAMP,
    LK_TOTAL DOUBLE PRECISION DEFAULT 0,
    LK_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_AR_LINK PRIMARY KEY (LK_MASDOC, LK_TYPE, LK_DOCNO)
);

-- Documents of a kind not yet exported, from a date on: the export search.
CREATE INDEX AR_TRANS_EXPORT ON AR_TRANS (TD_EXPORT_ACCT, TD_TYPE, TD_DATE);

-- A customer's documents: statements, ageing and the search by customer.
CREATE INDEX AR_TRANS_CUSTID ON AR_TRANS (TD_CUSTID, TD_DATE);

-- Payments and credit notes that settled a document.
CREATE INDEX AR_LINK_DOCNO ON AR_LINK (LK_DOCNO);
