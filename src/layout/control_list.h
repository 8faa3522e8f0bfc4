// What text layout asks of a section's form controls, each anchored at a
// control placeholder (character 2) in ascending position. This base class is
// the empty list that every section starts with; the forms layer derives the
// list that holds real controls.
#pragma once

#include <memory>
#include <utility>

#include "layout/layout_limits.h"

namespace kiv {

class TFormControlBase;

class TControlList {
 public:
  TControlList() = default;
  TControlList(const TControlList&) = delete;
  TControlList& operator=(const TControlList&) = delete;
  virtual ~TControlList() = default;

  virtual int Count() const { return 0; }
  // Width of the index-th control's window.
  virtual int WidthOfIndex(int /*index*/) const { return 0; }
  // Characters from offset to the next control at or after it; NoNextObject
  // when none follows.
  virtual int DistanceToNext(int /*offset*/) const { return NoNextObject; }
  // Width of the control at offset, -1 when there is none there.
  virtual int WidthAt(int /*offset*/) const { return -1; }
  // Height of the control at offset and whether it stands on the baseline;
  // -1 when there is none there.
  virtual int HeightAt(int /*offset*/, bool& onBaseline) const {
    onBaseline = false;
    return -1;
  }
  // The control at offset, for painting to place its window; null when there
  // is none there.
  virtual TFormControlBase* ControlAt(int /*offset*/) const { return nullptr; }
  // What a copy made for printing keeps: the controls' places and sizes,
  // drawn as outlines, without their windows; null when there is nothing.
  virtual std::unique_ptr<TControlList> CloneForPrinting() const { return nullptr; }
};

// A section's control list. Most sections hold no controls, so they share one
// empty list instead of each allocating its own; a section given a list of
// controls owns it.
class TSectionControls {
 public:
  TSectionControls() = default;
  TSectionControls(const TSectionControls&) = delete;
  TSectionControls& operator=(const TSectionControls&) = delete;
  TSectionControls& operator=(std::unique_ptr<TControlList> list) {
    owned_ = std::move(list);
    return *this;
  }

  const TControlList* operator->() const { return &List(); }
  // The list this section owns; null while it shares the empty one.
  TControlList* Owned() const { return owned_.get(); }
  const TControlList& operator*() const { return List(); }

 private:
  const TControlList& List() const {
    static const TControlList empty;
    return owned_ ? *owned_ : empty;
  }

  std::unique_ptr<TControlList> owned_;
};

}  // namespace kiv
