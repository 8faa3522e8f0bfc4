// The left and right text boundaries of one cell as functions of Y: floating
// images narrow the lines beside them down to their bottom, and each open list
// level pushes the left boundary in by one list indent.
#pragma once

#include "reader/free_list.h"
#include "reader/object_pool.h"

namespace kiv {

class TImageObj;

// One band of a boundary. A left record's Offset is the left boundary
// relative to the cell's left edge; a right record's is the right boundary
// relative to the cell's right edge (0 or negative). Records come from the
// object pool, where those of a cell lie close together for the scans of
// every line.
class IndentRec : public TPooledObject {
 public:
  IndentRec() = default;
  IndentRec(int offset, int topY, int bottomY, int level)
      : Offset(offset), TopY(topY), BottomY(bottomY), Level(level) {}
  virtual ~IndentRec() = default;

  int Offset = 0;
  int TopY = 0;     // first document Y at which the record applies
  int BottomY = 0;  // first document Y at which it no longer applies
  int Level = 0;    // 0 for a float or a closed list level, else the open level
};

class IndentManager {
 public:
  IndentManager() = default;
  IndentManager(const IndentManager&) = delete;
  IndentManager& operator=(const IndentManager&) = delete;
  virtual ~IndentManager() = default;

  // Frees every record of both sides.
  void Clear();
  // Moves the edges (layout: 0 and Width; painting: window X values) and
  // closes the list level; the records are kept.
  void Reset(int left, int right);

  // Left boundary at Y: the largest left offset in force, plus LeftEdge.
  int LeftAt(int y) const;
  // Right boundary at Y: the smallest right offset in force, plus RightEdge.
  int RightAt(int y) const;

  // Registers a floating image (align 3 left, 4 right) whose top is at Y and
  // sets its FloatX; other images and a missing one are ignored.
  void AddFloat(int y, TImageObj* image);

  // Largest bottom of the floats (and closed list levels); 0 when none.
  int FloatsBottom() const;
  // The Y just below all left floats and all right floats (0 when a side has none).
  void ClearPositions(int& leftY, int& rightY) const;
  // The Y just below the floats that started inside the open list level.
  int ListIndentBottom() const;
  // Opens or closes list levels at Y so that Level is the one open.
  void SetListLevel(int y, int level);

  int Width = 0;      // the cell's width at the last layout
  int ClipWidth = 0;  // width to which preformatted text is clipped when painting
  TFreeList<IndentRec, PoolAllocator> LeftFloats;
  TFreeList<IndentRec, PoolAllocator> RightFloats;
  int ListLevel = 0;
  int LeftEdge = 0;
  int RightEdge = 0;
};

}  // namespace kiv
