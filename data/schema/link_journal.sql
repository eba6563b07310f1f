-- The accounting link's posting journal, created in the stock database (alias
-- ZantStk) and in the receivables database (alias ARDB). The link may create
-- it when it is missing.

-- Posting journal: one row per document an export run handled, written in the
-- transaction that flags the document at its source. The table is in both
-- databases whose documents are flagged: the stock database (ZantStk) for
-- sales and purchase documents, the receivables database (ARDB) for
-- receivable documents. J_OUTCOME is POSTED, ALREADY (the package held the
-- document number already; flagged only), NOTHING (no rows to post) or
-- REFUSED (the package's text in J_MESSAGE; nothing flagged) or HELD (a scheduled
-- run that checks first left it out; the reason in J_MESSAGE; recorded once while
-- the reason stays the same). A posted document
-- is read back from the package after its save: J_CHECK is AGREES when its total
-- (and a cash sale's payment) equals the source's to the cent, DIFFERS when not
-- (what differs in J_MESSAGE), MISSING when the package did not find it by its
-- number, NULL for the other outcomes; J_PACKAGE_TOTAL is the package's total.
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
    J_CHECK VARCHAR(10),
    J_PACKAGE_TOTAL DOUBLE PRECISION
);

-- No key and no index: a document's record is written in the commit that flags it, and every
-- index page would be one more page that commit writes to disk (an index on the time alone slowed
-- the export by a tenth). A run's records are told apart by J_RUN_ID and J_SEQ; the journal and
-- the reconciliation read the table through once.
