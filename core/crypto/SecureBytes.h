// Buffers for keys, PIN blocks and other secrets: their memory is wiped before it is given back,
// also when a vector grows and moves to a larger block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nvx {

// Overwrites n bytes at p in a way the optimiser cannot drop.
void secureWipe(void* p, size_t n);
// Wipes the whole buffer of s (its capacity, not only its length) and empties it.
void secureWipe(std::string& s);

template <class T>
struct CleansingAllocator {
  using value_type = T;
  CleansingAllocator() = default;
  template <class U>
  CleansingAllocator(const CleansingAllocator<U>&) noexcept {}
  T* allocate(size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, size_t n) noexcept {
    secureWipe(p, n * sizeof(T));
    std::allocator<T>().deallocate(p, n);
  }
  template <class U>
  bool operator==(const CleansingAllocator<U>&) const noexcept { return true; }
};

using SecureBytes = std::vector<uint8_t, CleansingAllocator<uint8_t>>;

// A secret text (a key as hex digits, a PIN): wiped when destroyed or cleared. Reads as a
// string_view; copies made from it by the caller are the caller's to wipe.
class SecretText {
 public:
  SecretText() = default;
  explicit SecretText(std::string_view text) : chars_(text.begin(), text.end()) {}
  std::string_view view() const { return std::string_view(chars_.data(), chars_.size()); }
  operator std::string_view() const { return view(); }
  bool empty() const { return chars_.empty(); }
  size_t size() const { return chars_.size(); }
  void clear() {
    secureWipe(chars_.data(), chars_.size());
    chars_.clear();
  }

 private:
  std::vector<char, CleansingAllocator<char>> chars_;
};

}  // namespace nvx
