#include "reader/f0003/CardData.h"

namespace nvx::reader {

std::string CardData::maskedPAN() const {
  if (!beginStr || endStr.size() != 4) return {};
  const long hidden = static_cast<long>(panlen) - static_cast<long>(beginStr->size()) - static_cast<long>(endStr.size());
  return *beginStr + " " + std::string(hidden > 0 ? static_cast<size_t>(hidden) : 0, '*') + " " + endStr;
}

}  // namespace nvx::reader
