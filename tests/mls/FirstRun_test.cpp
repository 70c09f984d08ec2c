// The real Vocalet.exe started from an empty registry leaves its options and language at exit.
#include <gtest/gtest.h>

#include "e2e/E2E.h"
#include "mls/RegistrySandbox.h"

namespace {

TEST(FirstRun, LeavesFourteenOptionsAndTheLanguage) {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\Vocalet");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quindle\\MLS");
  e2e::Vocalet app;
  ASSERT_TRUE(app.Start()) << "no main window";
  ASSERT_TRUE(app.Quit()) << "did not end";
  HKEY key = OpenTestKey("Software\\Quindle\\Vocalet");
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 14u);
  const StoredValue language = GetValue("Software\\Quindle\\MLS", "Vocalet");
  EXPECT_EQ(language.Type, DWORD(REG_DWORD));
  EXPECT_EQ(language.Number, 4u);
}

}  // namespace
