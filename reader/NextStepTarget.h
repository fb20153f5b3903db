// A screen that can carry on with its interrupted step once the user has chosen a reader model
// in the chooser (the chooser runs theNextStep after its save). A screen that does not implement
// it simply stays where it is.
#pragma once

namespace nvx::reader {

class NextStepTarget {
 public:
  virtual ~NextStepTarget() = default;
  virtual void theNextStep() = 0;
};

}  // namespace nvx::reader
