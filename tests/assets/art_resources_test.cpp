// Every picture identifier resolves to a resource of the right kind and size in the exe that
// links vemo_assets, the way the windows load them.
#include <windows.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "art_ids.h"

namespace {

struct Art {
  int id;
  bool icon;
  int width;
  int height;
};

const Art kArt[] = {
    {ART_APP_ICON, true, 32, 32},        {ART_WHITE_STRIP, false, 300, 32},
    {ART_WALK_LEFT_A, false, 32, 32},    {ART_WALK_LEFT_B, false, 32, 32},
    {ART_STAND_LEFT, false, 32, 32},     {ART_ROPE_RIGHT_A, false, 32, 32},
    {ART_ROPE_RIGHT_B, false, 32, 32},   {ART_ROPE_STAND, false, 32, 32},
    {ART_FOLDER_DOC, false, 32, 32},     {ART_ROPE_WORK_1, false, 64, 32},
    {ART_ROPE_WORK_2, false, 64, 32},    {ART_FOLDER_ROPE, false, 32, 32},
    {ART_STAND_RIGHT, false, 32, 32},    {ART_FRONT_STAND, false, 32, 32},
    {ART_JUMP, false, 32, 32},           {ART_CRY_1, false, 32, 32},
    {ART_CRY_2, false, 32, 32},          {ART_SWEAT_1, false, 32, 32},
    {ART_SWEAT_2, false, 32, 32},        {ART_SWEAT_3, false, 32, 32},
    {ART_SWEAT_4, false, 32, 32},        {ART_CHECK_ICON, true, 32, 32},
    {ART_CROSS_ICON, true, 32, 32},      {ART_ABOUT_FOLDER_1, false, 32, 32},
    {ART_ABOUT_FOLDER_2, false, 32, 32}, {ART_CHAR_L, false, 32, 32},
    {ART_CHAR_R, false, 32, 32},
};

HBITMAP LoadArtBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HICON LoadArtIcon(int id) {
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0));
}

// Colour of one pixel of a DIB section (rows bottom-up, 24-bit).
COLORREF PixelOf(const DIBSECTION& dib, int x, int y) {
  const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
  const BYTE* p = bits + (dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidthBytes + x * 3;
  return RGB(p[2], p[1], p[0]);
}

// 32-bit pixels (0x00RRGGBB) of a bitmap, top row first.
std::vector<DWORD> PixelsOf(HBITMAP bitmap, int width, int height) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<DWORD> pixels(width * height);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS), height);
  DeleteDC(dc);
  return pixels;
}

int Red(DWORD p) { return (p >> 16) & 255; }
int Blue(DWORD p) { return p & 255; }

TEST(ArtResources, EveryPictureLoadsWithItsSizeAndDepth) {
  for (const Art& art : kArt) {
    SCOPED_TRACE(art.id);
    if (art.icon) {
      HICON icon = LoadArtIcon(art.id);
      ASSERT_NE(icon, nullptr);
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      EXPECT_TRUE(info.fIcon);
      ASSERT_NE(info.hbmMask, nullptr) << "icons carry a transparency mask";
      ASSERT_NE(info.hbmColor, nullptr);
      BITMAP colour{};
      ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
      EXPECT_EQ(colour.bmWidth, art.width);
      EXPECT_EQ(colour.bmHeight, art.height);
      DeleteObject(info.hbmMask);
      DeleteObject(info.hbmColor);
      DestroyIcon(icon);
    } else {
      HBITMAP bitmap = LoadArtBitmap(art.id);
      ASSERT_NE(bitmap, nullptr);
      DIBSECTION dib{};
      ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
      EXPECT_EQ(dib.dsBm.bmWidth, art.width);
      EXPECT_EQ(dib.dsBm.bmHeight, art.height);
      EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
      DeleteObject(bitmap);
    }
  }
}

TEST(ArtResources, ScenePicturesSitOnWhite) {
  // The scene pictures are drawn over the white strip without transparency, so their
  // corners must be white too; the strip itself is white all over.
  for (const Art& art : kArt) {
    if (art.icon) continue;
    SCOPED_TRACE(art.id);
    HBITMAP bitmap = LoadArtBitmap(art.id);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib{};
    ASSERT_TRUE(GetObjectW(bitmap, sizeof dib, &dib));
    const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
    EXPECT_EQ(PixelOf(dib, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(dib, w - 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(dib, 0, h - 1), RGB(255, 255, 255));
    if (art.id == ART_WHITE_STRIP) {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(PixelOf(dib, x, y), RGB(255, 255, 255));
    }
    DeleteObject(bitmap);
  }
}

TEST(ArtResources, StandingRightIsTheMirrorOfStandingLeft) {
  HBITMAP left = LoadArtBitmap(ART_STAND_LEFT);
  HBITMAP right = LoadArtBitmap(ART_STAND_RIGHT);
  ASSERT_NE(left, nullptr);
  ASSERT_NE(right, nullptr);
  DIBSECTION l{}, r{};
  ASSERT_TRUE(GetObjectW(left, sizeof l, &l));
  ASSERT_TRUE(GetObjectW(right, sizeof r, &r));
  int differing = 0, coloured = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      differing += PixelOf(l, x, y) != PixelOf(r, 31 - x, y);
      coloured += PixelOf(l, x, y) != RGB(255, 255, 255);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(coloured, 150) << "the walker is a figure, not a few dots";
  DeleteObject(left);
  DeleteObject(right);
}

TEST(ArtResources, IconMasksAreTransparentAroundTheMark) {
  for (int id : {ART_CHECK_ICON, ART_CROSS_ICON, ART_APP_ICON}) {
    SCOPED_TRACE(id);
    HICON icon = LoadArtIcon(id);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    // The AND mask is white (set) where the icon is transparent.
    int transparent = 0;
    for (DWORD m : PixelsOf(info.hbmMask, 32, 32)) transparent += (m & 0xFFFFFF) != 0;
    EXPECT_GT(transparent, 100);
    EXPECT_LT(transparent, 32 * 32 - 150);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(icon);
  }
}

TEST(ArtResources, ColoursKeepTheirChannels) {
  // A manila folder and a red cross: swapped red and blue channels would turn both blue.
  HBITMAP folder = LoadArtBitmap(ART_FOLDER_DOC);
  ASSERT_NE(folder, nullptr);
  std::vector<DWORD> front = PixelsOf(folder, 32, 32);
  EXPECT_GT(Red(front[20 * 32 + 16]), Blue(front[20 * 32 + 16]) + 60);
  DeleteObject(folder);

  HICON cross = LoadArtIcon(ART_CROSS_ICON);
  ASSERT_NE(cross, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cross, &info));
  std::vector<DWORD> colour = PixelsOf(info.hbmColor, 32, 32);
  std::vector<DWORD> mask = PixelsOf(info.hbmMask, 32, 32);
  int opaque = 0, red = 0;
  for (size_t i = 0; i < colour.size(); ++i) {
    if (mask[i] & 0xFFFFFF) continue;
    ++opaque;
    red += Red(colour[i]) > Blue(colour[i]) + 60;
  }
  EXPECT_GT(red, opaque * 3 / 4);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(cross);
}

TEST(ArtResources, ProgramIconHoldsItsOwnImageForEverySizeTheShellUses) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(ART_APP_ICON), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(self, group)));
  ASSERT_NE(dir, nullptr);
  // The group directory: three words, then one 14-byte entry per image, width first (0 is 256).
  std::vector<int> sizes;
  const int count = reinterpret_cast<const WORD*>(dir)[2];
  for (int i = 0; i < count; ++i) sizes.push_back(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

  for (int size : {16, 32, 48, 256}) {
    SCOPED_TRACE(size);
    // The image the system picks for this size is one drawn at this size, not a scaled one...
    const int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr);
    auto* bits = static_cast<BYTE*>(LockResource(LoadResource(self, image)));
    const DWORD length = SizeofResource(self, image);
    const bool png = length > 24 && memcmp(bits, "\x89PNG", 4) == 0;
    const LONG width =
        png ? static_cast<LONG>(bits[16] << 24 | bits[17] << 16 | bits[18] << 8 | bits[19])
            : reinterpret_cast<const BITMAPINFOHEADER*>(bits)->biWidth;
    EXPECT_EQ(width, size);
    EXPECT_EQ(png, size == 256) << "PNG for the large image only";
    // ...and it turns into an icon of that size, the PNG one too.
    HICON icon = CreateIconFromResourceEx(bits, length, TRUE, 0x00030000, size, size, 0);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(icon);
  }
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<LPWSTR*>(found) = name;
  return FALSE;  // the first one is enough
}

TEST(ArtResources, ProgramIconIsTheFirstIconGroup) {
  // The shell shows the first icon group of an exe as its icon.
  LPWSTR first = nullptr;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_GROUP_ICON, FirstName,
                     reinterpret_cast<LONG_PTR>(&first));
  ASSERT_TRUE(IS_INTRESOURCE(first));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(first), static_cast<ULONG_PTR>(ART_APP_ICON));
}

}  // namespace
