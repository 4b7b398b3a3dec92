// TIconHide: keeps the gate's taskbar button away. The state is shared by
// every instance: one process, one taskbar button.
#pragma once

#include "base/component.h"

class TIconHide : public TComponent {
 public:
  // Hides the button at once (outside design time).
  explicit TIconHide(TComponent* owner);
  bool Hidden() const;
  void SetHidden(bool hidden);
};

// Whether the taskbar button is to be hidden; forms that carry their own
// button ask it when their window is made.
bool TaskbarButtonHidden();
