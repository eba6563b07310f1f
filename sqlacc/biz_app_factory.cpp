#include "sqlacc/biz_app_factory.h"

#ifdef _WIN32
#include "sqlacc/com_automation.h"
#endif

#include <utility>

namespace {

BizAppFactory& currentFactory() {
    static BizAppFactory factory;
    return factory;
}

AutoObjectPtr createPlatformDefault() {
#ifdef _WIN32
    return CreateComObject(BizAppProgId);
#else
    throw AutomationError("The accounting package is not available: no automation factory is set");
#endif
}

} // namespace

void SetBizAppFactory(BizAppFactory factory) {
    currentFactory() = std::move(factory);
}

AutoObjectPtr CreateBizApp() {
    // A copy, so a factory that replaces itself while it runs stays alive until it returns.
    const BizAppFactory factory = currentFactory();
    AutoObjectPtr app = factory ? factory() : createPlatformDefault();
    if (!app)
        throw AutomationError("The accounting package's automation factory returned no object");
    return app;
}
