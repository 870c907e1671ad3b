#pragma once

// What a merge does with each kind of conflict, and whether it looks only within a
// whole-degree cell.
enum class ConflictAction { Skip, Ask, Replace };

struct MergeOptions {
    ConflictAction sameName = ConflictAction::Ask;     // same NAME, another CALLSIGN
    ConflictAction sameCallsign = ConflictAction::Ask; // same CALLSIGN, another NAME
    bool distanceRestriction = true;
};
