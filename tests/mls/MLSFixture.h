// A program in a private folder with "mls" and shared folders, and the four string modules.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "mls/SoundRecMLS.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLS.h"
#include "mls/ovSharedMLS.h"
#include "mls/qdSharedMLS.h"
#include "support/TestFolder.h"

inline constexpr int German = 3, English = 4, Dutch = 10, Russian = 13;

struct MLSFixture : ::testing::Test {
  void SetUp() override {
    CreateDirectoryA((Folder + "\\mls").c_str(), nullptr);
    CreateDirectoryA((Folder + "\\shared").c_str(), nullptr);
    SetMLSPaths(Folder + "\\Vocalet.exe", Folder + "\\shared");
    Manager = std::make_unique<TMLSManager>();
    qd = std::make_unique<TqdSharedMLSModule>(*Manager);
    ov = std::make_unique<TovSharedMLSModule>(*Manager);
    vo = std::make_unique<TVocaletMLSModule>(*Manager);
    sr = std::make_unique<TSoundRecMLSModule>(*Manager);
  }
  void TearDown() override { SetMLSPaths("", ""); }

  TestFolder Temp;
  std::string Folder = Temp.Path();
  std::unique_ptr<TMLSManager> Manager;  // goes after the modules, and a test's own members
  std::unique_ptr<TqdSharedMLSModule> qd;
  std::unique_ptr<TovSharedMLSModule> ov;
  std::unique_ptr<TVocaletMLSModule> vo;
  std::unique_ptr<TSoundRecMLSModule> sr;
};
