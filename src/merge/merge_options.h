#pragma once

#include <cstdint>

// What a merge does with each kind of conflict, and whether it looks only within a
// whole-degree cell.
enum class ConflictAction { Skip, Ask, Replace };

struct MergeOptions {
    ConflictAction sameName = ConflictAction::Ask;     // same NAME, another CALLSIGN
    ConflictAction sameCallsign = ConflictAction::Ask; // same CALLSIGN, another NAME
    bool distanceRestriction = true;
};

// The options the settings' three stored values stand for. An action code acts only in its
// own group: a code of the other group, or any unknown code, is Skip. The restriction is on
// only when its value is exactly 1.
MergeOptions mergeOptionsOf(std::int32_t sameNameAction, std::int32_t sameCallsignAction,
                            std::int32_t distanceRestriction);
