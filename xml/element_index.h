// The element index of a document: records in segments of 65,536, so that a growing index copies
// only its last, partly filled segment and every full segment keeps its address.
#pragma once

#include <cstdint>
#include <memory>

#include "xml/element_record.h"

class ElementIndex {
 public:
  static constexpr int32_t kSegmentShift = 16;
  static constexpr int32_t kSegmentSize = 1 << kSegmentShift;

  ElementIndex() = default;
  ElementIndex(const ElementIndex&) = delete;
  ElementIndex& operator=(const ElementIndex&) = delete;

  // Valid for 0 <= i < Capacity().
  ElementRecord& GetRecord(int32_t i) { return segments[i >> kSegmentShift][i & (kSegmentSize - 1)]; }
  const ElementRecord& GetRecord(int32_t i) const {
    return segments[i >> kSegmentShift][i & (kSegmentSize - 1)];
  }

  // Room for at least n records, but at most one new segment per call: callers that need more
  // call again as they fill it. New records are not cleared.
  void Grow(int32_t n);
  // Frees every segment and the segment array.
  void Release();

  int32_t Capacity() const { return capacity; }
  int32_t SegmentSlots() const { return segmentSlots; }
  const ElementRecord* SegmentAddress(int32_t k) const { return segments[k].get(); }

 private:
  using Segment = std::unique_ptr<ElementRecord[]>;

  std::unique_ptr<Segment[]> segments;
  int32_t capacity = 0;
  int32_t segmentSlots = 0;
};
