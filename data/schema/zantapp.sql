-- Application database (alias ZantApp): users and the masters (customers,
-- suppliers, payment methods, stock items, tax codes).
-- These tables belong to the POS back office. The accounting link fills in the
-- account codes (M_DEBTOR, M_CREDITOR, M_GLCODE) and sets M_EXPORT_ACCT to 'T'
-- once a master has been sent to the accounting package.

-- Back-office users. M_DATEFROM and M_DATETO give the permitted login hours
-- (only their time of day counts).
CREATE TABLE MAS_USER (
    M_CODE CHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_SEX CHAR(1),
    M_ADDR1 VARCHAR(40),
    M_ADDR2 VARCHAR(40),
    M_ADDR3 VARCHAR(40),
    M_TEL VARCHAR(20),
    M_REMARK VARCHAR(40),
    M_BIRTHDAY TIMESTAMP,
    M_WEB VARCHAR(100),
    M_EMAIL VARCHAR(40),
    M_USERGROUP CHAR(6),
    M_IC VARCHAR(20),
    M_PASSWORD VARCHAR(30),
    M_DRAWER CHAR(1),
    M_PHOTO BLOB SUB_TYPE 0,
    M_COMMISSION DOUBLE PRECISION DEFAULT 0,
    M_COMMTYPE CHAR(1),
    M_ACTIVE CHAR(1),
    M_DATEFROM TIMESTAMP,
    M_DATETO TIMESTAMP,
    M_POSTCODE VARCHAR(10),
    M_ODESC VARCHAR(40),
    M_LINK INTEGER,
    CONSTRAINT PK_MAS_USER PRIMARY KEY (M_CODE)
);

-- Further codes linked to a user (one row per user and link number).
CREATE TABLE MAS_USER_LINK (
    M_USER CHAR(6) NOT NULL,
    M_LINK INTEGER NOT NULL,
    M_CODE CHAR(6),
    CONSTRAINT PK_MAS_USER_LINK PRIMARY KEY (M_USER, M_LINK)
);

-- Customers. M_DEBTOR is the debtor account in the accounting package; a
-- generated one is the customer prefix, '-' and up to six characters of M_CODE.
CREATE TABLE MAS_CUSTOMER (
    M_CODE VARCHAR(15) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_DEBTOR VARCHAR(20),
    M_GST_NO VARCHAR(20),
    M_ADDR1 VARCHAR(40),
    M_ADDR2 VARCHAR(40),
    M_ADDR3 VARCHAR(40),
    M_POSTCODE VARCHAR(10),
    M_TEL VARCHAR(20),
    M_HPHONE VARCHAR(20),
    M_FAX VARCHAR(20),
    M_PTC VARCHAR(40),
    M_EMAIL VARCHAR(60),
    M_CREDITLIMIT DOUBLE PRECISION DEFAULT 0,
    M_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_MAS_CUSTOMER PRIMARY KEY (M_CODE)
);

-- Suppliers. M_CREDITOR is the creditor account in the accounting package; a
-- generated one is the supplier prefix, '-' and the whole M_CODE, so it must
-- hold a prefix of up to four characters plus the fifteen of the code.
CREATE TABLE MAS_SUPPLIER (
    M_CODE VARCHAR(15) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_CREDITOR VARCHAR(20),
    M_GST_NO VARCHAR(20),
    M_ADDR1 VARCHAR(40),
    M_ADDR2 VARCHAR(40),
    M_ADDR3 VARCHAR(40),
    M_POSTCODE VARCHAR(10),
    M_TEL VARCHAR(20),
    M_HPHONE VARCHAR(20),
    M_FAX VARCHAR(20),
    M_PTC VARCHAR(40),
    M_EMAIL VARCHAR(60),
    M_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_MAS_SUPPLIER PRIMARY KEY (M_CODE)
);

-- Payment methods of the POS; M_GLCODE is the general-ledger account.
CREATE TABLE MAS_PAYMENT (
    M_CODE VARCHAR(15) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_GLCODE VARCHAR(20),
    M_TYPE CHAR(1),
    CONSTRAINT PK_MAS_PAYMENT PRIMARY KEY (M_CODE)
);

-- Payment methods accepted by each store.
CREATE TABLE MAS_PAYMENT_STORE (
    M_STORE CHAR(4) NOT NULL,
    M_CODE VARCHAR(15) NOT NULL,
    M_ACTIVE CHAR(1) DEFAULT 'T',
    CONSTRAINT PK_MAS_PAYMENT_STORE PRIMARY KEY (M_STORE, M_CODE)
);

-- Stock items, keyed by PLU code (the item code of POS and stock lines).
CREATE TABLE MAS_STOCK (
    M_PLUCODE VARCHAR(20) NOT NULL,
    M_BARCODE VARCHAR(20),
    M_DESC VARCHAR(40),
    M_SHORTDESC VARCHAR(30),
    M_UOM VARCHAR(10),
    M_SELLPRICE DOUBLE PRECISION DEFAULT 0,
    M_COST DOUBLE PRECISION DEFAULT 0,
    M_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    CONSTRAINT PK_MAS_STOCK PRIMARY KEY (M_PLUCODE)
);

-- Tax codes by group: group POS holds TAX1 (standard rated), TAX2 (zero
-- rated) and TAX3 (exempt). M_TAX_CODE is the accounting package's tax code;
-- M_CALCULATION '3' means prices include the tax.
CREATE TABLE MAS_TAX (
    M_TAX_GROUP VARCHAR(6) NOT NULL,
    M_CODE VARCHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_TAX_CODE VARCHAR(10),
    M_RATE DOUBLE PRECISION DEFAULT 0,
    M_CALCULATION CHAR(1),
    CONSTRAINT PK_MAS_TAX PRIMARY KEY (M_TAX_GROUP, M_CODE)
);

-- Users listed by group.
CREATE INDEX MAS_USER_USERGROUP ON MAS_USER (M_USERGROUP);

-- Customers and suppliers looked up by name in the back office's lookups.
CREATE INDEX MAS_CUSTOMER_DESC ON MAS_CUSTOMER (M_DESC);
CREATE INDEX MAS_SUPPLIER_DESC ON MAS_SUPPLIER (M_DESC);

-- Items scanned at the counter are found by barcode.
CREATE INDEX MAS_STOCK_BARCODE ON MAS_STOCK (M_BARCODE);
