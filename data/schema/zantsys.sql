-- System database (alias ZantSys): stores, regions, store types, user groups,
-- their access rights and the back office's menu tables.
-- These tables belong to the POS back office; the accounting link only reads them.

-- Stores of the installation. The default store of Register.ini and every
-- station code must exist here.
CREATE TABLE MAS_STORE (
    M_CODE CHAR(4) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_REGION CHAR(6),
    M_TYPE CHAR(6),
    CONSTRAINT PK_MAS_STORE PRIMARY KEY (M_CODE)
);

-- Sales regions, shown as the region of a store.
CREATE TABLE MAS_REGION (
    M_CODE CHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    CONSTRAINT PK_MAS_REGION PRIMARY KEY (M_CODE)
);

-- Store types (outlet, warehouse, ...), shown as the type of a store.
CREATE TABLE MAS_STORETYPE (
    M_CODE CHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    CONSTRAINT PK_MAS_STORETYPE PRIMARY KEY (M_CODE)
);

-- User groups; every user of MAS_USER belongs to one.
CREATE TABLE MAS_USERGROUP (
    M_CODE CHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_DISCOUNT DOUBLE PRECISION DEFAULT 0,
    M_SUPPLIER CHAR(1),
    CONSTRAINT PK_MAS_USERGROUP PRIMARY KEY (M_CODE)
);

-- Program sections a group may enter (the accounting link's section is ACCTLI).
CREATE TABLE MAS_USERGROUPACCESS (
    M_CODE CHAR(6) NOT NULL,
    M_ACCESS CHAR(6) NOT NULL,
    CONSTRAINT PK_MAS_USERGROUPACCESS PRIMARY KEY (M_CODE, M_ACCESS)
);

-- Menu tree of the back office in three levels. A second-level row hangs under
-- the first-level row whose M_CODE equals its M_TYPE1, a third-level row under
-- the second-level row whose M_CODE equals its M_TYPE2; M_SEQ orders siblings.
CREATE TABLE MAS_FILETYPE1 (
    M_CODE VARCHAR(6) NOT NULL,
    M_SEQ INTEGER NOT NULL,
    M_TYPE1 VARCHAR(6),
    M_TYPE2 VARCHAR(6),
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_ACCESS CHAR(6),
    CONSTRAINT PK_MAS_FILETYPE1 PRIMARY KEY (M_CODE, M_SEQ)
);

CREATE TABLE MAS_FILETYPE2 (
    M_CODE VARCHAR(6),
    M_SEQ INTEGER NOT NULL,
    M_TYPE1 VARCHAR(6) NOT NULL,
    M_TYPE2 VARCHAR(6),
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_ACCESS CHAR(6),
    CONSTRAINT PK_MAS_FILETYPE2 PRIMARY KEY (M_TYPE1, M_SEQ)
);

CREATE TABLE MAS_FILETYPE3 (
    M_CODE VARCHAR(6),
    M_SEQ INTEGER NOT NULL,
    M_TYPE1 VARCHAR(6),
    M_TYPE2 VARCHAR(6) NOT NULL,
    M_DESC VARCHAR(40),
    M_ODESC VARCHAR(40),
    M_ACCESS CHAR(6),
    CONSTRAINT PK_MAS_FILETYPE3 PRIMARY KEY (M_TYPE2, M_SEQ)
);

-- Stores listed by region or type in the back office's store reports.
CREATE INDEX MAS_STORE_REGION ON MAS_STORE (M_REGION);
