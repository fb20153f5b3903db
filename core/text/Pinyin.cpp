#include "core/text/Pinyin.h"

namespace nvx {

char pinyinInitialOf(char16_t unit) {
  size_t index = size_t(unit) - size_t(detail::kPinyinFirst);
  if (unit >= detail::kPinyinFirst && index < detail::kPinyinTableSize) {
    return detail::kPinyinInitials[index];
  }
  return static_cast<char>(unit & 0xFF);
}

}  // namespace nvx
