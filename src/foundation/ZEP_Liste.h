#pragma once
// Ordered list of references. It never owns its elements.

#include "foundation/Errors.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tessel {

// Shows the warning of an insertion refused by a sorted list (through the prompts).
void warnSortedInsertion();

template <class T>
class MListe {
public:
  MListe() = default;
  explicit MListe(bool sorted) : sorted_(sorted) {}

  int Count() const { return static_cast<int>(items_.size()); }
  bool empty() const { return items_.empty(); }

  T* Item(int index) const {
    check(index);
    return items_[static_cast<std::size_t>(index)];
  }
  T* operator[](int index) const { return Item(index); }
  T* First() const { return Item(0); }
  T* Last() const { return Item(Count() - 1); }

  void Add(T* item) { items_.push_back(item); }
  void Insert(int index, T* item) {
    if (index < 0 || index > Count()) throw ListIndexError(index);
    items_.insert(items_.begin() + index, item);
  }

  // Inserting at the front is refused by a sorted list: warning, list unchanged.
  void InsertFirst(T* item) {
    if (sorted_) {
      warnSortedInsertion();
      return;
    }
    items_.insert(items_.begin(), item);
  }

  int IndexOf(const T* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }
  bool Contains(const T* item) const { return IndexOf(item) >= 0; }

  // Removes the first occurrence of the reference found at `index`: a reference
  // stored twice loses its first occurrence.
  void RemoveAt(int index) { Remove(Item(index)); }

  // Removes exactly the element at `index`.
  void Delete(int index) {
    check(index);
    items_.erase(items_.begin() + index);
  }

  // Removes the first occurrence; answers its former index or -1.
  int Remove(const T* item) {
    const int i = IndexOf(item);
    if (i >= 0) items_.erase(items_.begin() + i);
    return i;
  }

  void Clear() { items_.clear(); }
  void reserve(std::size_t n) { items_.reserve(n); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  const std::vector<T*>& items() const { return items_; }

private:
  void check(int index) const {
    if (index < 0 || index >= Count()) throw ListIndexError(index);
  }

  std::vector<T*> items_;
  bool sorted_ = false;
};

} // namespace tessel
