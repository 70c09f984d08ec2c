// The program-wide objects, created in a fixed order before anything else runs and freed in
// reverse order at the very end (when the options are saved).
#pragma once

class TProgramModules {
 public:
  TProgramModules();
  ~TProgramModules();
  TProgramModules(const TProgramModules&) = delete;
  TProgramModules& operator=(const TProgramModules&) = delete;

 private:
  bool oleReady_ = false;
};
