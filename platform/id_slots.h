// A few values kept by id in place, for a window's controls or timers: a window has a fixed handful
// of them, so a search through N slots costs less code than a tree.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

template <typename Value, size_t N>
class IdSlots {
 public:
  Value* Find(uint32_t id) {
    for (Slot& slot : m_slots) {
      if (slot.used && slot.id == id) return &slot.value;
    }
    return nullptr;
  }

  // The value of `id`, a new one in a free slot the first time; nullptr when all N are taken.
  Value* Get(uint32_t id) {
    if (Value* value = Find(id)) return value;
    for (Slot& slot : m_slots) {
      if (slot.used) continue;
      slot = Slot{id, true, Value{}};
      return &slot.value;
    }
    return nullptr;
  }

  void Erase(uint32_t id) {
    for (Slot& slot : m_slots) {
      if (slot.used && slot.id == id) slot = Slot{};
    }
  }

  // Calls f(id, value) for each value kept.
  template <typename Function>
  void ForEach(Function f) {
    for (Slot& slot : m_slots) {
      if (slot.used) f(slot.id, slot.value);
    }
  }

 private:
  struct Slot {
    uint32_t id = 0;
    bool used = false;
    Value value{};
  };
  std::array<Slot, N> m_slots{};
};

}  // namespace platform
