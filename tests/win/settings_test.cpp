// Settings readers and the registry class against Wine's real registry.
#include "desktop/settings.h"

#include <gtest/gtest.h>

#include "tests/win/robot.h"
#include "winlib/system/exception.h"
#include "winlib/system/registry.h"

namespace {
const char kVbRoot[] = "Software\\VB and VBA Program Settings";
const char kApp[] = "ZembraTestApp";
const std::string kAppKey = std::string(kVbRoot) + "\\" + kApp;
const char kOrvelKey[] = "Software\\Tavrin\\Orvel";

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_CURRENT_USER, kAppKey);
    DeleteRegTree(HKEY_CURRENT_USER, kOrvelKey);
  }
  void TearDown() override { SetUp(); }
};
}  // namespace

TEST_F(Settings, ReadsTheStoredTextOrTheDefault) {
  SetRegString(kAppKey + "\\Options", "Installation", "C:\\Zembra\\");
  EXPECT_EQ(ReadVBSetting(kApp, "Options", "Installation", "dflt"), "C:\\Zembra\\");
  EXPECT_EQ(ReadVBSetting(kApp, "Options", "Missing", "dflt"), "dflt");
  SetRegString(kAppKey + "\\Options", "Empty", "");
  EXPECT_EQ(ReadVBSetting(kApp, "Options", "Empty", "dflt"), "dflt");
  // Expandable strings are read as stored.
  SetRegString(kAppKey + "\\Options", "Expand", "%WINDIR%\\x", REG_EXPAND_SZ);
  EXPECT_EQ(ReadVBSetting(kApp, "Options", "Expand", ""), "%WINDIR%\\x");
}

TEST_F(Settings, FirstReadLeavesTheEmptyKeysBehind) {
  ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kAppKey));
  EXPECT_EQ(ReadVBSetting(kApp, "Options", "Installation", ""), "");
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kAppKey + "\\Options"));

  EXPECT_EQ(ReadProductSetting("InstallPath", "none"), "none");
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kOrvelKey));
  SetRegString(kOrvelKey, "InstallPath", "C:\\Orvel2\\");
  EXPECT_EQ(ReadProductSetting("InstallPath", ""), "C:\\Orvel2\\");
}

TEST_F(Settings, ValueOfAnotherTypeRaisesTheRegistryException) {
  SetRegDword(kAppKey + "\\Options", "Installation", 7);
  try {
    ReadVBSetting(kApp, "Options", "Installation", "");
    FAIL() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_NE(e.Message().find("Installation"), std::string::npos) << e.Message();
  }
}

TEST_F(Settings, RegistryClassOpensLevelByLevelAndClosesItsKeys) {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKey(kAppKey, false));
  EXPECT_EQ(registry.CurrentKey(), nullptr);
  ASSERT_TRUE(registry.OpenKey("Software", true));
  ASSERT_TRUE(registry.OpenKey("VB and VBA Program Settings", true));
  ASSERT_TRUE(registry.OpenKey(kApp, true));
  EXPECT_EQ(registry.ReadString("nothing"), "");
  // A failed open keeps the key that was open.
  const HKEY before = registry.CurrentKey();
  EXPECT_FALSE(registry.OpenKey("not\\there", false));
  EXPECT_EQ(registry.CurrentKey(), before);
  registry.CloseKey();
  EXPECT_EQ(registry.CurrentKey(), nullptr);
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kAppKey));
}
