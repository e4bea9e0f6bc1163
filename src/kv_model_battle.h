// What the battle files share: the hex geometry of the field, the keys that
// belong to one side, and the terrain's movement and defence.
#pragma once

#include "kv_model.h"

namespace Battlefield {

// The six neighbours of a cell, in the order every search walks them.
constexpr int64_t StepQ[6] = {+1, -1, 0, 0, +1, -1};
constexpr int64_t StepR[6] = {0, 0, +1, -1, -1, +1};

inline bool OnField(int64_t Q, int64_t R) { return Q >= 0 && Q < FieldCols && R >= 0 && R < FieldRows; }
inline int64_t CellOf(int64_t Q, int64_t R) { return R * FieldCols + Q; }

// Side 0 defends, side 1 attacks; these keys of the battle record belong to one side.
inline const TKey& Food(int64_t Side) {
  static const TKey Keys[2] = {"food0", "food1"};
  return Keys[Side == 1];
}
inline const TKey& Skill(int64_t Side) {
  static const TKey Keys[2] = {"skill0", "skill1"};
  return Keys[Side == 1];
}
inline const TKey& Arms(int64_t Side) {
  static const TKey Keys[2] = {"arms0", "arms1"};
  return Keys[Side == 1];
}
inline const TKey& Commander(int64_t Side) {
  static const TKey Keys[2] = {"commander0", "commander1"};
  return Keys[Side == 1];
}

double Defence(int64_t Ground);

// A province's people fit while its count is below five per castle.
bool HasRoom(const TGame& G, int64_t Pid);

}  // namespace Battlefield
