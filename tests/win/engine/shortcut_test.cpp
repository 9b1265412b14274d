// Shortcuts made by CreateShortcut, read back through the shell link object.
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include <gtest/gtest.h>

#include "engine/win_shortcut.h"
#include "support.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

using wintest::ScratchFolder;

struct LinkFields {
    std::string target;
    std::string workingFolder;
    std::string arguments;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
    int showCommand = -1;
    WORD hotKey = 0xFFFF;
};

// Loads a .lnk file and reads back every field the installation sets.
bool ReadLink(const std::wstring& file, LinkFields& fields) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ))) {
        return false;
    }
    std::vector<char> text(1024);
    auto read = [&](auto get) {
        text.assign(text.size(), '\0');
        get(text.data(), static_cast<int>(text.size()));
        return std::string(text.data());
    };
    fields.target = read([&](char* b, int n) { link->GetPath(b, n, nullptr, SLGP_RAWPATH); });
    fields.workingFolder = read([&](char* b, int n) { link->GetWorkingDirectory(b, n); });
    fields.arguments = read([&](char* b, int n) { link->GetArguments(b, n); });
    fields.description = read([&](char* b, int n) { link->GetDescription(b, n); });
    fields.iconFile = read([&](char* b, int n) { link->GetIconLocation(b, n, &fields.iconIndex); });
    link->GetShowCmd(&fields.showCommand);
    link->GetHotkey(&fields.hotKey);
    return true;
}

class WinShortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        for (const char* name : {"QuorVel.exe", "QuorVel.chm", "UnInstall.exe"}) {
            wintest::WriteWhole(scratch / name, "target");
        }
    }

    ComApartment com;
    ScratchFolder scratch;
};

TEST_F(WinShortcut, EveryFieldReadsBackAsWritten) {
    const std::string target = scratch / "QuorVel.chm";
    const std::wstring file = AnsiToWide(scratch / "Справка по Кворвель 2.0.lnk");
    ASSERT_EQ(CreateShortcut(file, target, scratch.Path(), "", 0, SW_SHOWNORMAL, target, 0), S_OK);

    LinkFields fields;
    ASSERT_TRUE(ReadLink(file, fields));
    EXPECT_EQ(fields.target, target);
    EXPECT_EQ(fields.workingFolder, scratch.Path());
    EXPECT_EQ(fields.arguments, "");
    EXPECT_EQ(fields.description, "");
    EXPECT_EQ(fields.iconFile, target);
    EXPECT_EQ(fields.iconIndex, 0);
    EXPECT_EQ(fields.showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(fields.hotKey, 0);
}

TEST_F(WinShortcut, CyrillicFileNameReachesTheDiskAsItself) {
    const std::wstring file = AnsiToWide(scratch / "Кворвель 2.0.lnk");
    EXPECT_EQ(file.substr(file.size() - 16), L"Кворвель 2.0.lnk");
    ASSERT_EQ(CreateShortcut(file, scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                               scratch / "QuorVel.exe", 0), S_OK);
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WinShortcut, ExistingShortcutIsReplaced) {
    const std::wstring file = AnsiToWide(scratch / "Удалить Кворвель 2.0.lnk");
    ASSERT_EQ(CreateShortcut(file, scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                               scratch / "QuorVel.exe", 0), S_OK);
    ASSERT_EQ(CreateShortcut(file, scratch / "UnInstall.exe", scratch.Path(), "", 0, 1,
                               scratch / "UnInstall.exe", 0), S_OK);
    LinkFields fields;
    ASSERT_TRUE(ReadLink(file, fields));
    EXPECT_EQ(fields.target, scratch / "UnInstall.exe");
    EXPECT_EQ(fields.iconFile, scratch / "UnInstall.exe");
}

TEST_F(WinShortcut, FolderThatDoesNotExistFailsWithoutAFile) {
    const std::string file = scratch / "missing\\Кворвель 2.0.lnk";
    EXPECT_TRUE(FAILED(CreateShortcut(AnsiToWide(file), scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                                scratch / "QuorVel.exe", 0)));
    EXPECT_FALSE(wintest::Exists(file));
}

TEST(WinText, AnsiToWideConvertsWholeTexts) {
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(AnsiToWide("Ёж"), L"Ёж");
    const std::string longText(5000, 'a');
    EXPECT_EQ(AnsiToWide(longText).size(), 5000u);
}

}  // namespace
}  // namespace qv
