// The resources of setup.rc, loaded from this program's own module as the
// wizard loads them: icon, pictures, agreement, manifest and version strings.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/szdd.h"
#include "resource_ids.h"
#include "toolkit/picture_rows.h"
#include "toolkit/resources.h"

namespace {

struct Blob {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

// A resource of this module; resources stay mapped while the module is loaded.
Blob FindOwn(LPCSTR name, LPCSTR type) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(self, name, type);
    if (!info) return {};
    HGLOBAL handle = LoadResource(self, info);
    if (!handle) return {};
    return {static_cast<const unsigned char*>(LockResource(handle)), SizeofResource(self, info)};
}

template <typename T>
T ReadAt(const Blob& b, std::size_t offset) {
    static_assert(std::is_trivially_copyable<T>::value, "plain data only");
    T value{};
    if (offset + sizeof(T) <= b.size) std::memcpy(&value, b.data + offset, sizeof(T));
    return value;
}

std::uint16_t BigEndian16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

struct IconDeleter {
    void operator()(HICON h) const { DestroyIcon(h); }
};
using IconPtr = std::unique_ptr<std::remove_pointer<HICON>::type, IconDeleter>;

struct GdiDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
using BitmapPtr = std::unique_ptr<std::remove_pointer<HBITMAP>::type, GdiDeleter>;

// --- icon ------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "GRPICONDIRENTRY layout");

// 32 and 16 pixels at 16 colours; 24, 48 and 64 (the small and large icon
// at 150 % and 200 %) in 32 bpp, the last two as PNG images.
TEST(AssetsIcon, GroupHoldsEverySizeTheDisplayScalesAskFor) {
    const Blob group = FindOwn(QV_RES_MAINICON, RT_GROUP_ICON);
    ASSERT_NE(group.data, nullptr) << "no icon group MAINICON";
    ASSERT_EQ(ReadAt<WORD>(group, 2), 1) << "type: icon";
    const WORD count = ReadAt<WORD>(group, 4);
    ASSERT_EQ(count, 5);
    ASSERT_GE(group.size, 6u + count * sizeof(GroupIconEntry));

    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const auto e = ReadAt<GroupIconEntry>(group, 6 + i * sizeof(GroupIconEntry));
        SCOPED_TRACE(testing::Message() << "entry " << i << ", " << int(e.width) << " px");
        const bool classic = e.width == 16 || e.width == 32;
        const WORD bits = classic ? 4 : 32;
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.bitCount, bits);
        EXPECT_EQ(e.colours, classic ? 16 : 0);
        EXPECT_EQ(e.planes, 1);
        sizes.insert(e.width);

        // The image itself, as large as the group says: a PNG file, or a
        // DIB twice as high as the icon (colour bitmap plus mask).
        const Blob image = FindOwn(MAKEINTRESOURCEA(e.id), RT_ICON);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.size, e.bytes);
        if (e.width >= 48) {
            ASSERT_GE(image.size, 8u);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data), 8), "\x89PNG\r\n\x1a\n");
            continue;
        }
        const auto h = ReadAt<BITMAPINFOHEADER>(image, 0);
        EXPECT_EQ(h.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(h.biWidth, e.width);
        EXPECT_EQ(h.biHeight, 2 * e.height);
        EXPECT_EQ(h.biBitCount, bits);
        EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
        const DWORD colourRow = (e.width * bits + 31) / 32 * 4;
        const DWORD maskRow = (e.width + 31) / 32 * 4;
        EXPECT_EQ(image.size, sizeof(BITMAPINFOHEADER) + (classic ? 16 * sizeof(RGBQUAD) : 0) +
                                  (colourRow + maskRow) * e.height);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64}));
}

TEST(AssetsIcon, LoadsAtEverySize) {
    for (int size : {32, 16, 24, 48, 64}) {
        IconPtr icon(static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), QV_RES_MAINICON, IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        BitmapPtr colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, size);
    }
}

// --- bitmaps ---------------------------------------------------------------

// A page picture: a BMP file, its rows delta-coded, SZDD-compressed.
void ExpectBitmap(LPCSTR name, LONG width, LONG height) {
    SCOPED_TRACE(name);
    EXPECT_STREQ(QV_RES_TYPE_PICTURE, qv::kPackedPictureType);
    const Blob stored = FindOwn(name, QV_RES_TYPE_PICTURE);
    ASSERT_NE(stored.data, nullptr);
    std::string file;
    ASSERT_EQ(qv::ExpandSzdd({reinterpret_cast<const char*>(stored.data), stored.size}, file), qv::SzddStatus::kOk);
    ASSERT_TRUE(qv::UndoBmpRowDeltas(file));
    ASSERT_GT(file.size(), sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(file.substr(0, 2), "BM");
    const Blob b{reinterpret_cast<const unsigned char*>(file.data()) + sizeof(BITMAPFILEHEADER),
                 static_cast<DWORD>(file.size() - sizeof(BITMAPFILEHEADER))};
    const auto h = ReadAt<BITMAPINFOHEADER>(b, 0);
    EXPECT_EQ(h.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(h.biWidth, width);
    EXPECT_EQ(h.biHeight, height) << "bottom-up rows";
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    const DWORD row = (width * 24 + 31) / 32 * 4;
    EXPECT_GE(b.size, sizeof(BITMAPINFOHEADER) + row * height);

    // And as the pages load it, with the expander the program hands the
    // toolkit: a DIB section of that size and depth.
    qv::SetPictureExpander(qv::ExpandSzddWhole);
    qv::UniqueBitmap bmp = qv::LoadPicture(name);
    ASSERT_TRUE(bmp);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bmp.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, width);
    EXPECT_EQ(dib.dsBm.bmHeight, height);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
}

TEST(AssetsBitmaps, SidePictureAndHeaderPicture) {
    ExpectBitmap(QV_RES_SIDEPICTURE, 164, 315);
    ExpectBitmap(QV_RES_HEADERPICTURE, 55, 55);
}

// --- background JPEG -------------------------------------------------------

struct Frame {
    bool found = false;
    unsigned char marker = 0;
    int height = 0, width = 0, components = 0;
};

// Walks the marker segments up to the first start-of-frame.
Frame FirstFrame(const Blob& jpeg) {
    Frame f;
    std::size_t i = 2;
    while (i + 4 <= jpeg.size && jpeg.data[i] == 0xFF) {
        const unsigned char m = jpeg.data[i + 1];
        const std::size_t length = BigEndian16(jpeg.data + i + 2);
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof && i + 10 <= jpeg.size) {
            f.found = true;
            f.marker = m;
            f.height = BigEndian16(jpeg.data + i + 5);
            f.width = BigEndian16(jpeg.data + i + 7);
            f.components = jpeg.data[i + 9];
            return f;
        }
        if (m == 0xDA || length < 2) break;  // scan data, or a broken segment
        i += 2 + length;
    }
    return f;
}

TEST(AssetsBackground, IsA752By480ColourBaselineJpeg) {
    const Blob jpeg = FindOwn(QV_RES_BACKGROUND, RT_RCDATA);
    ASSERT_NE(jpeg.data, nullptr);
    ASSERT_GT(jpeg.size, 4u);
    EXPECT_EQ(jpeg.data[0], 0xFF);
    EXPECT_EQ(jpeg.data[1], 0xD8);
    EXPECT_EQ(jpeg.data[jpeg.size - 2], 0xFF);
    EXPECT_EQ(jpeg.data[jpeg.size - 1], 0xD9);
    const Frame f = FirstFrame(jpeg);
    ASSERT_TRUE(f.found) << "no start-of-frame marker";
    EXPECT_EQ(f.marker, 0xC0) << "baseline";
    EXPECT_EQ(f.width, 752);
    EXPECT_EQ(f.height, 480);
    EXPECT_EQ(f.components, 3);
}

// The pictures drawn for 150 % and 200 %: colour JPEGs at the 100 % size
// times the scale.
TEST(AssetsBitmaps, LargerScalesAreColourJpegsAtTheirSize) {
    const std::pair<LPCSTR, int> variants[] = {{QV_RES_SIDEPICTURE150, 246}, {QV_RES_SIDEPICTURE200, 328},
                                               {QV_RES_HEADERPICTURE150, 83}, {QV_RES_HEADERPICTURE200, 110}};
    for (const auto& [name, width] : variants) {
        const Frame f = FirstFrame(FindOwn(name, RT_RCDATA));
        EXPECT_TRUE(f.found && f.components == 3) << name;
        EXPECT_EQ(f.width, width) << name;
    }
}

// --- agreement -------------------------------------------------------------

TEST(AssetsLicence, IsTheFileByteForByte) {
    const Blob text = FindOwn(QV_RES_LICENCE, RT_RCDATA);
    ASSERT_NE(text.data, nullptr);
    EXPECT_EQ(text.size, static_cast<DWORD>(QV_LICENCE_SIZE));
    const std::string s(reinterpret_cast<const char*>(text.data), text.size);
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s.substr(s.size() - 2), "\r\n");
    std::size_t lines = 0;
    for (std::size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 125u);
    EXPECT_NE(s.find("Кворвель 2.0"), std::string::npos) << "code page 1251 text";
}

// --- manifest --------------------------------------------------------------

TEST(AssetsManifest, AsksForAdministratorCommonControls6AndTheSystemDpi) {
    const Blob m = FindOwn(MAKEINTRESOURCEA(QV_RES_MANIFEST_ID), MAKEINTRESOURCEA(24));
    ASSERT_NE(m.data, nullptr);
    const std::string xml(reinterpret_cast<const char*>(m.data), m.size);
    EXPECT_NE(xml.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(xml.find("WindowsSettings\">true</dpiAware>"), std::string::npos);
    EXPECT_NE(xml.find("WindowsSettings\">system</dpiAwareness>"), std::string::npos);
}

// --- version information ---------------------------------------------------

class AssetsVersion : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH + 1] = {};
        const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
        ASSERT_TRUE(n > 0 && n <= MAX_PATH);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
        ASSERT_GT(size, 0u);
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block_.data()));
    }

    std::wstring Text(const wchar_t* key) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041904E3\\") + key;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), query.c_str(), &value, &length) || !value) {
            return L"<missing>";
        }
        return static_cast<const wchar_t*>(value);
    }

    std::vector<unsigned char> block_;
};

TEST_F(AssetsVersion, NumbersAndLanguage) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const auto* pair = static_cast<const WORD*>(value);
    EXPECT_EQ(pair[0], QV_VERSION_LANGUAGE);
    EXPECT_EQ(pair[1], QV_VERSION_CODEPAGE);
}

TEST_F(AssetsVersion, StringsInRussian) {
    EXPECT_EQ(Text(L"FileDescription"), L"Программа установки Кворвель 2.0");
    EXPECT_EQ(Text(L"ProductName"), L"Кворвель 2.0");
    EXPECT_EQ(Text(L"FileVersion"), L"2.0.0.0");
    EXPECT_EQ(Text(L"ProductVersion"), L"2.0");
    EXPECT_EQ(Text(L"OriginalFilename"), L"setup.exe");
    EXPECT_EQ(Text(L"CompanyName"), L"ООО «Кворвель Софт»");
    EXPECT_EQ(Text(L"LegalCopyright"), L"© ООО «Кворвель Софт», 2026. Все права защищены.");
}

TEST_F(AssetsVersion, AnsiQueryGivesCodePage1251) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\StringFileInfo\\" QV_VERSION_BLOCK "\\ProductName",
                               &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Кворвель 2.0");
}

}  // namespace
