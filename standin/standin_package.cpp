#include "standin/standin_package.h"

#include "sqlacc/biz_app_factory.h"
#include "standin/package_objects.h"

using standin_detail::PackageShared;

StandinPackage::StandinPackage() : shared_(std::make_shared<PackageShared>()) {
    const QString faults = qEnvironmentVariable("ZANTRO_STANDIN_FAIL");
    try {
        shared_->faults.addFromText(faults);
    } catch (const AutomationError& error) {
        shared_->faultSetupError = error.what();
    }
}

AutoObjectPtr StandinPackage::createBizApp() {
    return standin_detail::CreateApplicationObject(shared_);
}

void StandinPackage::failCall(const std::string& member, int nth, const std::string& text) {
    shared_->faults.add(member, nth, text);
}

void StandinPackage::clearFaults() {
    shared_->faults.clear();
}

int StandinPackage::logins() const {
    return shared_->logins;
}

int StandinPackage::logouts() const {
    return shared_->logouts;
}

int StandinPackage::openBusinessObjects() const {
    return shared_->openRecords;
}

StandinPackage& UseStandinPackage() {
    static StandinPackage package;
    SetBizAppFactory([] { return package.createBizApp(); });
    return package;
}
