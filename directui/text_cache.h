// A least-recently-used cache of text results, keyed by font, text, layout
// width, height limit and format, bounded by entry count and by total cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>
#include <string_view>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace exdui {

struct TextKeyView {
  uint64_t fontSerial;
  uint32_t format;
  int32_t width;   // Pango units, -1 for none
  int64_t height;  // Pango units, the height limit; 0 where it does not matter
  std::u16string_view text;
};

uint64_t HashTextKey(const TextKeyView& key);

// Lookups touch one slot of a flat hash index and the entry itself: the
// transcript looks up every message on every repaint, so a lookup must not
// chase list neighbours. Recency is a counter stamped on use; when a bound is
// passed, the least recently used quarter goes at once.
template <class Value>
class TextCache {
 public:
  TextCache(size_t maxEntries, size_t maxCost) : maxEntries_(maxEntries), maxCost_(maxCost) {}
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;

  // The cached value, now the most recently used; null when absent.
  Value* Find(const TextKeyView& key, uint64_t hash) {
    Node* node = Lookup(key, hash);
    if (node == nullptr) return nullptr;
    node->lastUsed = ++clock_;
    return &node->value;
  }

  // Adds a value (the key must be absent), evicting the least recently used
  // entries beyond the bounds, and returns it. The new entry always stays.
  Value* Insert(const TextKeyView& key, uint64_t hash, Value value, size_t cost) {
    NodePtr node = MakeNode(key, hash, std::move(value));
    Node* added = node.get();
    added->cost = cost + key.text.size() * sizeof(char16_t);
    added->lastUsed = ++clock_;
    cost_ += added->cost;
    nodes_.push_back(std::move(node));
    if (OverBounds()) {
      Evict();
    } else if (nodes_.size() * 2 > index_.size()) {
      Rebuild();
    } else {
      Place(added);
    }
    return &added->value;
  }

  // Counts extra cost (work added to a cached value) against the bound.
  void AddCost(const TextKeyView& key, uint64_t hash, size_t cost) {
    if (Node* node = Lookup(key, hash)) {
      node->cost += cost;
      cost_ += cost;
    }
  }

  void Clear() {
    nodes_.clear();
    index_.clear();
    cost_ = 0;
  }
  size_t Size() const { return nodes_.size(); }
  size_t Cost() const { return cost_; }

 private:
  // An entry and its key; the key's text follows the record in the same
  // allocation, so that comparing it costs no further cache miss.
  struct Node {
    uint64_t fontSerial;
    uint32_t format;
    int32_t width;
    int64_t height;
    uint64_t hash;
    size_t textLength;
    size_t cost = 0;
    uint64_t lastUsed = 0;
    Value value;
    const char16_t* Text() const { return reinterpret_cast<const char16_t*>(this + 1); }
  };
  struct NodeDeleter {
    void operator()(Node* node) const {
      node->~Node();
      ::operator delete(static_cast<void*>(node));
    }
  };
  using NodePtr = std::unique_ptr<Node, NodeDeleter>;
  static_assert(alignof(Node) >= alignof(char16_t));

  static NodePtr MakeNode(const TextKeyView& key, uint64_t hash, Value value) {
    void* memory = ::operator new(sizeof(Node) + key.text.size() * sizeof(char16_t));
    Node* node = new (memory) Node{key.fontSerial,  key.format, key.width, key.height,      hash,
                                   key.text.size(), 0,          0,         std::move(value)};
    std::copy(key.text.begin(), key.text.end(), reinterpret_cast<char16_t*>(node + 1));
    return NodePtr(node);
  }

  struct Slot {
    uint64_t hash;
    Node* node;  // null: empty
  };

  static bool Matches(const Node& node, const TextKeyView& key) {
    return node.fontSerial == key.fontSerial && node.format == key.format &&
           node.width == key.width && node.height == key.height &&
           node.textLength == key.text.size() &&
           std::equal(key.text.begin(), key.text.end(), node.Text());
  }

  Node* Lookup(const TextKeyView& key, uint64_t hash) const {
    if (index_.empty()) return nullptr;
    const size_t mask = index_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = index_[i];
      if (slot.node == nullptr) return nullptr;
      if (slot.hash == hash && Matches(*slot.node, key)) return slot.node;
    }
  }

  void Place(Node* node) {
    const size_t mask = index_.size() - 1;
    size_t i = node->hash & mask;
    while (index_[i].node != nullptr) i = (i + 1) & mask;
    index_[i] = Slot{node->hash, node};
  }

  // A fresh index at most half full.
  void Rebuild() {
    size_t size = 64;
    while (size < nodes_.size() * 2 + 2) size *= 2;
    index_.assign(size, Slot{0, nullptr});
    for (const auto& node : nodes_) Place(node.get());
  }

  bool OverBounds() const { return nodes_.size() > maxEntries_ || cost_ > maxCost_; }

  // Drops the least recently used entries until a quarter of each bound is
  // free, keeping the newest entry whatever its cost.
  void Evict() {
    std::sort(nodes_.begin(), nodes_.end(),
              [](const auto& a, const auto& b) { return a->lastUsed > b->lastUsed; });
    const size_t entryTarget = maxEntries_ - maxEntries_ / 4;
    const size_t costTarget = maxCost_ - maxCost_ / 4;
    while (nodes_.size() > 1 && (nodes_.size() > entryTarget || cost_ > costTarget)) {
      cost_ -= nodes_.back()->cost;
      nodes_.pop_back();
    }
    Rebuild();
  }

  size_t maxEntries_;
  size_t maxCost_;
  size_t cost_ = 0;
  uint64_t clock_ = 0;
  std::vector<NodePtr> nodes_;
  std::vector<Slot> index_;
};

}  // namespace exdui
