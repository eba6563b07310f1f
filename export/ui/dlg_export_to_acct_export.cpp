// The export run of the export dialog (btnExportClick).
#include "core/app_error.h"
#include "export/ui/dlg_export_to_acct.h"

// TODO(export run): confirmation, posting of the ticked rows or the master, marking of their
// sources and the closing search belong here; until then Export says so instead of doing nothing.
void TdlgExportToAcct::RunExport() {
    throw AppError(QStringLiteral("Export is not available in this version yet."));
}
