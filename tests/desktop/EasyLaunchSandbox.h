// For tests of the program's dialogs under Wine: the English string modules, a way to act
// inside a modal window, a click. Includes the registry sandbox.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "TestFolder.h"
#include "mls/RegistrySandbox.h"
#include "mls/ovSharedMLS.h"
#include "toolkit/Forms.h"

// Loads the English string modules for the life of the object.
struct EnglishTexts {
  EnglishTexts() {
    MLSManager = std::make_unique<TMLSManager>();
    MLS_OVSHARED = std::make_unique<TovSharedMLSModule>(*MLSManager);
    MLS_OVSHARED->Load(4);
  }
  ~EnglishTexts() {
    MLS_OVSHARED.reset();
    MLSManager.reset();
  }
};

// Runs `act` once the modal window that `visible` finds is on screen, from inside its
// modal loop; `show` returns when the window closes.
struct ModalDriver {
  static inline std::function<HWND()> Find;
  static inline std::function<void()> Pending;
  static inline DWORD Deadline = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND h = Find ? Find() : nullptr;
    if (Pending && GetTickCount() > Deadline) {
      // Better a failure that says where it stood than a test that waits for its timeout.
      ADD_FAILURE() << "the modal window did not come up in time: window " << h;
      KillTimer(nullptr, id);
      Pending = nullptr;
      if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(h)))
        form->ModalResult = mrCancel;
      return;
    }
    if (!h || !IsWindowVisible(h) || !Pending) return;
    KillTimer(nullptr, id);
    auto run = std::move(Pending);
    Pending = nullptr;
    run();
  }
};

inline void WhileModal(const std::function<HWND()>& visible, std::function<void()> act,
                       const std::function<void()>& show) {
  ModalDriver::Find = visible;
  ModalDriver::Pending = std::move(act);
  ModalDriver::Deadline = GetTickCount() + 20000;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ModalDriver::Tick);
  show();
  KillTimer(nullptr, timer);
  ModalDriver::Pending = nullptr;
}

inline void Click(TWinControl* control) { SendMessageA(control->Handle(), BM_CLICK, 0, 0); }
