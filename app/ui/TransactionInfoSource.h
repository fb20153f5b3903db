// The rows and the prompt of one receipt box, as the business screens hand them to the pay
// screens and to TransactionInfoView.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/TransactionInfoLabelSource.h"

namespace nvx {

class TransactionInfoSource {
 public:
  using Rows = std::vector<std::shared_ptr<TransactionInfoLabelSource>>;

  TransactionInfoSource() = default;
  TransactionInfoSource(Rows labelSource, std::optional<std::string> prompt)
      : labelSource_(std::move(labelSource)), prompt_(std::move(prompt)) {}

  static std::shared_ptr<TransactionInfoSource> infoWithLabelSource(Rows labelSource,
                                                                    std::optional<std::string> prompt) {
    return std::make_shared<TransactionInfoSource>(std::move(labelSource), std::move(prompt));
  }

  // The rows, in order (an empty entry is no row).
  const Rows& labelSource() const { return labelSource_; }
  void setLabelSource(Rows rows) { labelSource_ = std::move(rows); }
  // A text shown under the rows; may be missing or empty.
  const std::optional<std::string>& prompt() const { return prompt_; }
  void setPrompt(std::optional<std::string> prompt) { prompt_ = std::move(prompt); }

 private:
  Rows labelSource_;
  std::optional<std::string> prompt_;
};

}  // namespace nvx
