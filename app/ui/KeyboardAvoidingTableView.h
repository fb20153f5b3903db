// A table view that keeps the field being edited above the keyboard: when a text field or text
// view inside it begins editing, the part of the table the keyboard covers becomes a bottom
// content inset (so every row can be scrolled into the part that shows) and the content moves
// the least so that the field shows above the keyboard. When editing ends and the keyboard no
// longer serves a field of this table, the inset goes back to what it was.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/TableView.h"

namespace nvx {

class KeyboardAvoidingTableView : public platform::ui::TableView {
 public:
  explicit KeyboardAvoidingTableView(platform::ui::Rect frame = {},
                                     platform::ui::TableViewStyle style = platform::ui::TableViewStyle::Plain);

  // Follows the keyboard now (the editing notifications call it).
  void adjustToKeyboard();

  void layoutSubviews() override;

 private:
  void observeEditing();

  std::vector<platform::NotificationCenter::Observation> observations_;
  std::optional<platform::ui::EdgeInsets> insetBeforeKeyboard_;
};

}  // namespace nvx
