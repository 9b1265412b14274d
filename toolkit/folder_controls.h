#pragma once
// A directory list and a drive selector that move together: the list shows
// the chain of folders from the drive root down to the current folder, then
// the current folder's subfolders; the selector moves the list to the
// current folder of the drive chosen.
#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/small_map.h"

namespace qv {

class DirectoryList : public ListControl {
public:
    using ListControl::ListControl;

    // The current folder, a full path as the file system reports it.
    const std::string& Directory() const { return directory_; }
    // Moves the list to an existing folder and raises OnChange; throws
    // Failure with a message for the user when it cannot.
    void SetDirectory(const std::string& folder);
    // Opens the listed folder at an index, as a double-click does.
    void OpenItem(int index);

    void OnCommand(WORD code) override;
    bool OnKey(WPARAM key) override;
    // Owner drawing: one row per folder, indented by its depth.
    void Draw(const DRAWITEMSTRUCT& item) const;

protected:
    DWORD Style() const override;
    void AfterCreate() override;

private:
    void Fill();

    std::string directory_;
    int chainLength_ = 0;  // items from the root down to the current folder
};

class DriveCombo : public Control {
public:
    using Control::Control;
    bool IsTabStop() const override { return true; }

    // Links the directory list that follows the drive.
    void SetDirList(DirectoryList* list) { dirList_ = list; }
    char Drive() const { return drive_; }
    // Selects the drive and moves the linked list to its current folder.
    void SetDrive(char letter);
    // Keeps the selector in step with a list that changed drive by itself.
    void Follow(const std::string& folder);

    void OnCommand(WORD code) override;
    HBRUSH OnColour(HDC) override { return nullptr; }

protected:
    const wchar_t* WindowClass() const override { return L"COMBOBOX"; }
    DWORD Style() const override { return CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; }
    void AfterCreate() override;

private:
    void Select(char letter);

    DirectoryList* dirList_ = nullptr;
    char drive_ = 0;
    std::vector<char> letters_;
    SmallMap<char, std::string> lastFolder_;  // where the list was on each drive
};

}  // namespace qv
