#include "directui/handles.h"

#include <vector>

namespace exdui {
namespace {

// A handle packs the slot index (bits 0-19), the slot's generation (bits
// 20-26) and the kind (bits 27-30: the kinds run up to 8). Bit 31 stays
// clear, so handles are positive as 32-bit signed values.
constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = 0x7F;
constexpr uint32_t kKindShift = 27;

struct Slot {
  void* object = nullptr;
  HandleKind kind = HandleKind::Window;
  uint8_t generation = 1;
  bool live = false;
};

struct Table {
  std::vector<Slot> slots{1};  // slot 0 is never used, so no handle is 0
  std::vector<uint32_t> free;
};

Table& TheTable() {
  static Table table;
  return table;
}

HEXHANDLE Pack(uint32_t index, const Slot& slot) {
  return static_cast<HEXHANDLE>(index | (uint32_t{slot.generation} << kIndexBits) |
                                (uint32_t(slot.kind) << kKindShift));
}

}  // namespace

HEXHANDLE HandleAdd(HandleKind kind, void* object) {
  Table& table = TheTable();
  uint32_t index;
  if (!table.free.empty()) {
    index = table.free.back();
    table.free.pop_back();
  } else {
    if (table.slots.size() > kIndexMask) return 0;
    index = static_cast<uint32_t>(table.slots.size());
    table.slots.emplace_back();
  }
  Slot& slot = table.slots[index];
  slot.object = object;
  slot.kind = kind;
  slot.live = true;
  return Pack(index, slot);
}

void* HandleGet(HEXHANDLE handle, HandleKind kind) {
  if (handle <= 0) return nullptr;
  const uint32_t bits = static_cast<uint32_t>(handle);
  const uint32_t index = bits & kIndexMask;
  Table& table = TheTable();
  if (index == 0 || index >= table.slots.size()) return nullptr;
  const Slot& slot = table.slots[index];
  if (!slot.live || slot.kind != kind || Pack(index, slot) != handle) return nullptr;
  return slot.object;
}

void HandleRemove(HEXHANDLE handle) {
  if (handle <= 0) return;
  const uint32_t index = static_cast<uint32_t>(handle) & kIndexMask;
  Table& table = TheTable();
  if (index == 0 || index >= table.slots.size()) return;
  Slot& slot = table.slots[index];
  if (!slot.live || Pack(index, slot) != handle) return;
  slot.live = false;
  slot.object = nullptr;
  // Generations 1..127: a retired handle is not handed out again until the
  // slot has been reused 127 times.
  slot.generation = static_cast<uint8_t>((slot.generation & kGenerationMask) % 127 + 1);
  table.free.push_back(index);
}

int HandleCount(HandleKind kind) {
  int n = 0;
  for (const Slot& slot : TheTable().slots) n += (slot.live && slot.kind == kind) ? 1 : 0;
  return n;
}

}  // namespace exdui
