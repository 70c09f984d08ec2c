// One instance per desktop session: a second start hands its parameters to the running
// instance through a hidden window found by its title, and ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Controls.h"

constexpr UINT SIM_BEGIN = WM_USER + 1;
constexpr UINT SIM_PARAM = WM_USER + 2;
constexpr UINT SIM_END = WM_USER + 3;
extern const char SingleInstanceClassName[];  // "SingleInstanceManagerWindow"

// True when a running instance with this identifier was found and told about this start.
bool NotifyPreviousInstance(const std::string& programID);
// The same with the parameters given (for tests and callers that have their own list).
bool NotifyPreviousInstance(const std::string& programID, const std::vector<std::string>& params);
// This process's command-line parameters, the program path (parameter 0) left out.
std::vector<std::string> CommandLineParams();

class TSingleInstanceManager : public TComponent {
 public:
  explicit TSingleInstanceManager(TComponent* owner);
  ~TSingleInstanceManager() override;

  std::vector<std::string> Params;
  const std::string& ProgramID() const { return programID_; }
  void SetProgramID(const std::string& id);
  TNotifyEvent OnStartRequest;
  HWND Handle() const { return handle_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  std::string programID_;
  HWND handle_ = nullptr;
};
