-- The accounting link's own tables, in the stock and POS database (alias
-- ZantStk). The link may create them when they are missing.

-- Stations: one per store that exchanges data with the accounting package.
-- P_EXPORT and P_IMPORT hold the times of the last export and import.
CREATE TABLE ACC_STATION (
    P_STORE CHAR(4) NOT NULL,
    P_EXPORT TIMESTAMP,
    P_IMPORT TIMESTAMP,
    P_ACTIVE CHAR(1),
    CONSTRAINT PK_ACC_STATION PRIMARY KEY (P_STORE)
);

-- Jobs of a station, one per job code P_FILE (SUPPLI, CUSTOM, DELIVE, RECEIV,
-- RETURN, TRNOUT, SLSTRN). P_STATUS holds the transmission option letters:
-- one of C, A, I for the profile jobs; N, R, M, S in that order (possibly
-- none) for the document jobs. The searches pick the stores whose job of a
-- kind has the Manual option; the engine checks that per store through the
-- primary key, both of whose columns the sub-select compares.
CREATE TABLE ACC_STATION_JOB (
    P_STORE CHAR(4) NOT NULL,
    P_FILE VARCHAR(6) NOT NULL,
    P_TYPE VARCHAR(3),
    P_TABLE VARCHAR(31),
    P_FILENO INTEGER,
    P_DESC VARCHAR(40),
    P_STATUS VARCHAR(4),
    CONSTRAINT PK_ACC_STATION_JOB PRIMARY KEY (P_STORE, P_FILE)
);

-- Export work table: one row per document found by a search, tagged by its
-- module code in S_MODULE; S_EXPORT_ACCT is the user's tick ('T' ticked).
-- The amounts default to 0 because a search leaves some of them unwritten
-- (rounding, balance) and the export run reads every amount as a number.
-- No primary key: the unique index below identifies a row.
CREATE TABLE TMP_EXPORT_ACCT (
    S_ID VARCHAR(35) NOT NULL,
    S_STORE_FROM VARCHAR(20),
    S_REFNO VARCHAR(20),
    S_DATE TIMESTAMP,
    S_CODE VARCHAR(20),
    S_TAXAMT DOUBLE PRECISION DEFAULT 0,
    S_TOTAL DOUBLE PRECISION DEFAULT 0,
    S_ROUNDING DOUBLE PRECISION DEFAULT 0,
    S_NETTOTAL DOUBLE PRECISION DEFAULT 0,
    S_BALANCE DOUBLE PRECISION DEFAULT 0,
    S_EXPORT_ACCT CHAR(1) DEFAULT 'F',
    S_MODULE VARCHAR(20)
);

CREATE UNIQUE INDEX TMP_EXPORT_ACCTINDEX1 ON TMP_EXPORT_ACCT (S_ID, S_STORE_FROM, S_REFNO);

-- The work table is emptied, shown, ticked and read by module code (and tick).
CREATE INDEX TMP_EXPORT_ACCT_MODULE ON TMP_EXPORT_ACCT (S_MODULE, S_EXPORT_ACCT);

-- Export runs: one row per run of the export (the window's Export, the batch
-- command's export, masters and schedule). A run that is going on has no end
-- time; the row tells another workstation who runs and since when. A row left
-- without an end time by a run that was killed is closed by the next run.
CREATE TABLE ACC_EXPORT_RUN (
    R_RUN_ID VARCHAR(40) NOT NULL,
    R_USER VARCHAR(10),
    R_HOST VARCHAR(64),
    R_PROCESS INTEGER,
    R_PROGRAM VARCHAR(30),
    R_COMMAND VARCHAR(60),
    R_STARTED TIMESTAMP NOT NULL,
    R_ENDED TIMESTAMP,
    R_OUTCOME VARCHAR(20),
    CONSTRAINT PK_ACC_EXPORT_RUN PRIMARY KEY (R_RUN_ID)
);

CREATE INDEX ACC_EXPORT_RUN_ENDED ON ACC_EXPORT_RUN (R_ENDED);

-- One export at a time per installation: a run holds its row of this table
-- locked (an update it does not commit) for as long as it runs. The engine
-- drops the lock when the run's process or connection ends, also when it is
-- killed, so a lock never outlives its run.
CREATE TABLE ACC_EXPORT_LOCK (
    L_NAME VARCHAR(20) NOT NULL,
    L_RUN_ID VARCHAR(40),
    CONSTRAINT PK_ACC_EXPORT_LOCK PRIMARY KEY (L_NAME)
);

-- Posting journal: one row per document an export run handled, written in the
-- transaction that flags the document at its source (for receivable
-- documents, whose flags live in another database, it is committed just
-- before them). J_OUTCOME is POSTED, ALREADY (the package held the document
-- number already; flagged only), NOTHING (no rows to post) or REFUSED (the
-- package's text in J_MESSAGE; nothing flagged).
CREATE TABLE ACC_POST_JOURNAL (
    J_RUN_ID VARCHAR(40) NOT NULL,
    J_SEQ INTEGER NOT NULL,
    J_TIME TIMESTAMP NOT NULL,
    J_USER VARCHAR(10),
    J_STORE VARCHAR(20),
    J_MODULE VARCHAR(20) NOT NULL,
    J_SOURCE_ID VARCHAR(35),
    J_DOCNO VARCHAR(60),
    J_DOCDATE TIMESTAMP,
    J_PARTY VARCHAR(20),
    J_NETTOTAL DOUBLE PRECISION,
    J_OUTCOME VARCHAR(10) NOT NULL,
    J_MESSAGE VARCHAR(1000),
    CONSTRAINT PK_ACC_POST_JOURNAL PRIMARY KEY (J_RUN_ID, J_SEQ)
);

-- The journal is listed by time (and kind), and reconciled by document day.
CREATE INDEX ACC_POST_JOURNAL_TIME ON ACC_POST_JOURNAL (J_TIME);
CREATE INDEX ACC_POST_JOURNAL_DOCDATE ON ACC_POST_JOURNAL (J_DOCDATE, J_MODULE);
