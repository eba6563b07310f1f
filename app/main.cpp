// zantro-link: the accounting link program.
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_polling.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        TdmMMGroupAccess groupAccess;
        dmMMGroupAccess = &groupAccess;
        TdmPolling polling;
        dmPolling = &polling;
        std::printf(
            "Data modules opened in %s: %d stations, %d customers, %d suppliers, %d stock items.\n",
            qPrintable(ProgramFolder()), polling.tblStation.recordCount(),
            polling.tblCustomer.recordCount(), polling.tblSupplier.recordCount(),
            polling.tblStock.recordCount());
        dmPolling = nullptr;
        dmMMGroupAccess = nullptr;
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
