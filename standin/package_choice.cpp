#include "standin/package_choice.h"

#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "standin/standin_package.h"

#include <QString>
#include <QtGlobal>

void ChooseAccountingPackage() {
    if (qEnvironmentVariable("ZANTRO_PACKAGE") == QLatin1String("null")) {
        SetBizAppFactory([] { return std::make_shared<RecordingPackage>(false); });
        return;
    }
#ifndef Q_OS_WIN
    UseStandinPackage();
#endif
}
