#pragma once

class Query;

// True when any station has a job row: from then on the account type may not be changed, since
// the stations' jobs and folders were made for it. Counts the rows with the given query (the
// data module's qryRecord on the stock database) and closes it again.
bool AccountTypeLocked(Query& qryRecord);
