#include "data/dm_mm_user.h"

TdmMMUser* dmMMUser = nullptr;

TdmMMUser::TdmMMUser() {
    dbMMUser.open();
    tblMMUser.open();
}
