#pragma once
// The name of an entity: most names (identifiers, dates, words) are short, so
// up to 22 bytes are kept inline and only longer ones go to the heap.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tessel {

class EntityName {
public:
  EntityName() { inline_.size = 0; }
  ~EntityName() { release(); }
  EntityName(const EntityName&) = delete;
  EntityName& operator=(const EntityName&) = delete;

  void assign(std::string_view text) {
    release();
    if (text.size() <= inlineCapacity) {
      std::memcpy(inline_.bytes, text.data(), text.size());
      inline_.size = static_cast<unsigned char>(text.size());
    } else {
      char* p = new char[text.size()];
      std::memcpy(p, text.data(), text.size());
      heap_.data = p;
      heap_.size = text.size();
      inline_.size = heapMark;
    }
  }

  std::string_view view() const {
    return inline_.size == heapMark ? std::string_view(heap_.data, heap_.size)
                                    : std::string_view(inline_.bytes, inline_.size);
  }
  bool empty() const { return inline_.size == 0; }

private:
  static constexpr std::size_t inlineCapacity = 22;
  static constexpr unsigned char heapMark = 0xFF;

  void release() {
    if (inline_.size == heapMark) delete[] heap_.data;
    inline_.size = 0;
  }

  // The last byte tells the form: an inline length, or heapMark.
  struct Inline {
    char bytes[23];
    unsigned char size;
  };
  struct Heap {
    char* data;
    std::size_t size;
  };
  union {
    Inline inline_;
    Heap heap_;
  };
};

static_assert(sizeof(EntityName) == 24);

} // namespace tessel
