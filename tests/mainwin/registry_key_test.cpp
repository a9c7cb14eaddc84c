// The registry key wrapper on Wine's real registry, under a key of its own.
#include "ui/toolkit/registry_key.h"

#include <functional>

#include <gtest/gtest.h>

#include "tests/mainwin/read_only_key.h"
#include "ui/toolkit/window_text.h"

using vemo::ui::RegistryError;
using vemo::ui::RegistryKey;

namespace {

const char* kTestKey = "\\Software\\Pelk\\VemoRegistryKeyTest";

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RegistryKey::DeleteTree(HKEY_CURRENT_USER, kTestKey)); }
  void TearDown() override { RegistryKey::DeleteTree(HKEY_CURRENT_USER, kTestKey); }

  // Stores raw bytes under a value, as another program might have.
  void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, kTestKey);
    ASSERT_EQ(RegSetValueExW(key.Handle(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }

  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const RegistryError& error) {
      return error.what();
    }
    return "(no error)";
  }
};

TEST_F(RegistryKeyTest, OpenDoesNotCreateCreateMakesTheWholePath) {
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kTestKey).has_value());
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kTestKey).has_value());
  {
    RegistryKey created = RegistryKey::Create(HKEY_CURRENT_USER, std::string(kTestKey) + "\\a\\b");
  }
  EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, std::string(kTestKey) + "\\a\\b").has_value());
  // The leading backslash is optional.
  EXPECT_TRUE(
      RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Pelk\\VemoRegistryKeyTest\\a").has_value());
  EXPECT_TRUE(RegistryKey::DeleteTree(HKEY_CURRENT_USER, kTestKey));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kTestKey).has_value());
}

TEST_F(RegistryKeyTest, TextsAndNumbersRoundTripWithTheirTypes) {
  {
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, kTestKey);
    key.WriteString("Folder1", "C:\\Program Files\\データ");
    key.WriteString("裏情報", "ｱﾆﾒｰｼｮﾝで運ばれているﾌｫﾙﾀﾞをつまんでみよう!");
    key.WriteString("Empty", "");
    key.WriteInt("WindowTop", -32000);
    key.WriteInt("Anime", 1);
  }
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->ReadString("Folder1"), "C:\\Program Files\\データ");
  EXPECT_EQ(key->ReadString("Empty"), "");
  EXPECT_EQ(key->ReadInt("WindowTop"), -32000);
  EXPECT_EQ(key->ReadInt("Anime"), 1);

  // The Japanese name and text are stored as the right characters, read back through W calls:
  // in the Japanese code page they are the 6 and 43 bytes of the original literals.
  std::wstring wideText(64, L'\0');
  DWORD type = 0, size = static_cast<DWORD>(wideText.size() * sizeof(wchar_t));
  ASSERT_EQ(RegQueryValueExW(key->Handle(), L"\u88CF\u60C5\u5831", nullptr, &type,
                             reinterpret_cast<BYTE*>(wideText.data()), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  wideText.resize(size / sizeof(wchar_t));
  ASSERT_FALSE(wideText.empty());
  EXPECT_EQ(wideText.back(), L'\0');  // written with its terminating zero
  wideText.pop_back();
  int sjisBytes = WideCharToMultiByte(932, 0, wideText.c_str(), -1, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(sjisBytes, 43 + 1);
  EXPECT_EQ(wideText.substr(0, 3), L"\uFF71\uFF86\uFF92");  // half-width katakana "ｱﾆﾒ"

  DWORD numberType = 0;
  ASSERT_EQ(RegQueryValueExW(key->Handle(), L"WindowTop", nullptr, &numberType, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(numberType, static_cast<DWORD>(REG_DWORD));
}

TEST_F(RegistryKeyTest, StoredTextsWithAndWithoutTerminatingZeroAndExpandType) {
  const wchar_t withZero[] = L"abc";
  WriteRaw(L"WithZero", REG_SZ, withZero, sizeof(withZero));
  WriteRaw(L"NoZero", REG_SZ, withZero, 3 * sizeof(wchar_t));
  WriteRaw(L"Expand", REG_EXPAND_SZ, L"%TEMP%\\x", 9 * sizeof(wchar_t));
  WriteRaw(L"ZeroLength", REG_SZ, L"", 0);
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->ReadString("WithZero"), "abc");
  EXPECT_EQ(key->ReadString("NoZero"), "abc");
  EXPECT_EQ(key->ReadString("Expand"), "%TEMP%\\x");  // not expanded
  EXPECT_EQ(key->ReadString("ZeroLength"), "");
}

TEST_F(RegistryKeyTest, AbsentAndMistypedValuesThrowNamingTheValue) {
  const DWORD number = 7;
  WriteRaw(L"Number", REG_DWORD, &number, sizeof(number));
  WriteRaw(L"Text", REG_SZ, L"1", 2 * sizeof(wchar_t));
  const BYTE binary[4] = {1, 0, 0, 0};
  WriteRaw(L"Binary", REG_BINARY, binary, sizeof(binary));
  const unsigned long long wideNumber = 1;
  WriteRaw(L"Qword", REG_QWORD, &wideNumber, sizeof(wideNumber));
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(key.has_value());

  EXPECT_EQ(ErrorOf([&] { key->ReadInt("Missing"); }), "The registry value \"Missing\" is absent");
  EXPECT_EQ(ErrorOf([&] { key->ReadString("Missing"); }),
            "The registry value \"Missing\" is absent");
  EXPECT_EQ(key->ReadStringOrEmpty("Missing"), "");
  EXPECT_EQ(ErrorOf([&] { key->ReadInt("Text"); }),
            "The registry value \"Text\" is not a REG_DWORD number");
  EXPECT_EQ(ErrorOf([&] { key->ReadInt("Binary"); }),
            "The registry value \"Binary\" is not a REG_DWORD number");
  EXPECT_EQ(ErrorOf([&] { key->ReadInt("Qword"); }),
            "The registry value \"Qword\" is not a REG_DWORD number");
  EXPECT_EQ(ErrorOf([&] { key->ReadString("Number"); }),
            "The registry value \"Number\" is not a text");
  EXPECT_EQ(ErrorOf([&] { key->ReadStringOrEmpty("Binary"); }),
            "The registry value \"Binary\" is not a text");
  EXPECT_TRUE(key->HasValue("Number"));
  EXPECT_FALSE(key->HasValue("Missing"));
}

TEST_F(RegistryKeyTest, LongTextsAreReadWhole) {
  std::string longText(5000, 'x');
  longText += "終";
  RegistryKey::Create(HKEY_CURRENT_USER, kTestKey).WriteString("Long", longText);
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kTestKey)->ReadString("Long"), longText);
}

}  // namespace

namespace {

// Loading asks only to read and storing only to read and write, so a key that the user may only
// read (an administrator's lock) is read as any other, and only writing to it fails.
TEST_F(RegistryKeyTest, AKeyTheUserMayOnlyReadIsReadAndOnlyWritingFails) {
  RegistryKey::Create(HKEY_CURRENT_USER, kTestKey).WriteString("Folder1", "C:\\kept");
  vemo::testing::ReadOnlyKey locked(kTestKey);
  auto key = RegistryKey::Open(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->ReadString("Folder1"), "C:\\kept");
  EXPECT_EQ(ErrorOf([&] {
              key->WriteString("Folder1", "C:\\other");
            }).rfind("Cannot write the registry value \"Folder1\": ", 0),
            0u);
  EXPECT_EQ(ErrorOf([] {
              RegistryKey::Create(HKEY_CURRENT_USER, kTestKey);
            }).rfind("Cannot create the registry key ", 0),
            0u);
  EXPECT_EQ(key->ReadString("Folder1"), "C:\\kept");
}

}  // namespace
