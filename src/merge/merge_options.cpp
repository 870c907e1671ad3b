#include "merge/merge_options.h"

#include "settings/settings.h"

namespace {
ConflictAction actionOf(std::int32_t code, std::int32_t requestCode, std::int32_t replaceCode) {
    if (code == replaceCode)
        return ConflictAction::Replace;
    if (code == requestCode)
        return ConflictAction::Ask;
    return ConflictAction::Skip;
}
} // namespace

MergeOptions mergeOptionsOf(std::int32_t sameNameAction, std::int32_t sameCallsignAction,
                            std::int32_t distanceRestriction) {
    return {actionOf(sameNameAction, kSameNameRequest, kSameNameReplace),
            actionOf(sameCallsignAction, kSameCallsignRequest, kSameCallsignReplace),
            distanceRestriction == 1};
}
