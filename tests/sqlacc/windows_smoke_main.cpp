// A tiny Windows program built from the automation library, so that the link proves every
// symbol of the COM adapter resolves against the Windows libraries.

#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/com_automation.h"

#include <cstdio>
#include <memory>

int main() {
    try {
        const AutoObjectPtr app = std::make_shared<RecordingObject>(CreateComObject(BizAppProgId),
                                                                    std::make_shared<CallLog>());
        if (!app->invoke("IsLogin").asBool())
            app->invoke("Login", {"ADMIN", "ADMIN", "DEFAULT.DCF", "ACC-0001.FDB"});
        const AutoObjectPtr document = findBizObject(CreateBizApp(), "SL_CS");
        setField(findDataSet(document, "MainDataSet"), "DOCKEY", "-1");
        std::printf("%s\n", document->invoke("FindKeyByRef", {"DOCNO", "X1"}).describe().c_str());
    } catch (const AutomationError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
