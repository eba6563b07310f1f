#include "sqlacc/business_object.h"

BusinessObject::BusinessObject(const AutoObjectPtr& bizApp, const std::string& name)
    : object_(findBizObject(bizApp, name)) {}

BusinessObject::~BusinessObject() {
    close();
}

void BusinessObject::close() {
    if (closed_)
        return;
    closed_ = true;
    try {
        object_->invoke("Close");
    } catch (const AutomationError&) {
    }
}
