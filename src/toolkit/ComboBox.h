// A drop-down list of the system's COMBOBOX class: pick one of a fixed list of texts.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(const std::vector<std::string>& items);  // clears the selection
  // -1: nothing selected.
  int ItemIndex();
  void SetItemIndex(int index);
  // The selected item's text; "" when none.
  std::string Text();
  int IndexOf(const std::string& text) const;  // exact match; -1 when absent
  // Rows the opened list shows before it scrolls.
  int DropDownCount = 8;

  TNotifyEvent OnChange;  // the user picked another item (then OnClick)

  void SetBounds(int left, int top, int width, int height) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool CommandNotify(WORD code, WORD id) override;

 private:
  void FillWindow();
  void SizeList();
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};
