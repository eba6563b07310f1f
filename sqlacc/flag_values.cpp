#include "sqlacc/flag_values.h"

bool FlagTakesOneZero(std::string_view field) {
    return SameMemberName(field, "TaxInclusive") || SameMemberName(field, "IsBase");
}

AutoValue FlagValue(const PackageBuild& build, std::string_view field, bool value) {
    if (build.atLeast(PackageBuilds::BooleanFields))
        return AutoValue::fromBool(value);
    if (FlagTakesOneZero(field))
        return AutoValue::fromInt(value ? 1 : 0);
    return AutoValue::fromText(value ? "T" : "F");
}
