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

-- One export at a time per installation: the row names the run that holds the
-- lock and the database connection it holds it through (its attachment id and
-- the time it attached, as MON$ATTACHMENTS shows them, and its database user).
-- The lock is free when no run is named, and also when the named connection no
-- longer exists: the engine drops a connection when its process ends or is
-- killed, or when a workstation's connection to the server breaks, so a lock
-- never outlives its run. Taking the lock updates the row in a short
-- transaction; nothing is held open while the run goes on.
CREATE TABLE ACC_EXPORT_LOCK (
    L_NAME VARCHAR(20) NOT NULL,
    L_RUN_ID VARCHAR(40),
    L_ATTACHMENT BIGINT,
    L_ATTACHED TIMESTAMP,
    L_DBUSER VARCHAR(63),
    CONSTRAINT PK_ACC_EXPORT_LOCK PRIMARY KEY (L_NAME)
);

-- What became of each document of the work table at the last export run of
-- its kind (posted, refused with the package's text, ...), keyed like the
-- work table and kept beside it. A search replaces the work table's rows but
-- not these, so a document found again still shows what the last run said of
-- it; the next run of the kind replaces the kind's statuses. ST_TEXT is what
-- the export window's Status column shows; ST_ATTENTION 1 puts the row first.
CREATE TABLE ACC_EXPORT_STATUS (
    ST_MODULE VARCHAR(20) NOT NULL,
    ST_ID VARCHAR(35) NOT NULL,
    ST_STORE VARCHAR(20) NOT NULL,
    ST_REFNO VARCHAR(20) NOT NULL,
    ST_RUN_ID VARCHAR(40),
    ST_TIME TIMESTAMP,
    ST_OUTCOME VARCHAR(20) NOT NULL,
    ST_TEXT VARCHAR(1000),
    ST_ATTENTION SMALLINT DEFAULT 0 NOT NULL,
    CONSTRAINT PK_ACC_EXPORT_STATUS PRIMARY KEY (ST_MODULE, ST_ID, ST_STORE, ST_REFNO)
);
