// Growth of the segmented element index.
#include "xml/element_index.h"

#include <algorithm>

namespace {

std::unique_ptr<ElementRecord[]> AllocateRecords(int32_t count) {
  return std::make_unique_for_overwrite<ElementRecord[]>(static_cast<size_t>(count));
}

}  // namespace

void ElementIndex::Grow(int32_t n) {
  const int32_t c = capacity;
  if (n <= c) return;
  const int32_t lastSegment = c > 0 ? (c - 1) >> kSegmentShift : 0;
  int32_t newLastSegment = (n - 1) >> kSegmentShift;
  if (newLastSegment > lastSegment + 1) {
    newLastSegment = lastSegment + 1;
    n = (lastSegment + 2) * kSegmentSize;
  }
  if (segmentSlots <= newLastSegment) {
    const int32_t slots = newLastSegment * 2 + 4;
    auto grown = std::make_unique<Segment[]>(static_cast<size_t>(slots));
    const int32_t inUse = c > 0 ? ((c - 1) >> kSegmentShift) + 1 : 0;
    std::move(segments.get(), segments.get() + inUse, grown.get());
    segments = std::move(grown);
    segmentSlots = slots;
  }
  const int32_t oldInLast = c - lastSegment * kSegmentSize;
  const int32_t newInLast = n - newLastSegment * kSegmentSize;
  if (newLastSegment > lastSegment && oldInLast < kSegmentSize) {
    Segment full = AllocateRecords(kSegmentSize);
    if (oldInLast > 0) std::copy_n(segments[lastSegment].get(), oldInLast, full.get());
    segments[lastSegment] = std::move(full);
  }
  Segment last = AllocateRecords(newInLast);
  if (newLastSegment == lastSegment && oldInLast > 0) {
    std::copy_n(segments[lastSegment].get(), oldInLast, last.get());
  }
  segments[newLastSegment] = std::move(last);
  capacity = n;
}

void ElementIndex::Release() {
  segments.reset();
  capacity = 0;
  segmentSlots = 0;
}
