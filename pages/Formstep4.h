#pragma once
// Program group page: the Start-menu group name is held as the text of
// edNameGroup; the Programs and desktop folders are looked up once.
#include <string>
#include <vector>

#include "engine/win_boxes.h"
#include "pages/wizard_page.h"
#include "toolkit/folder_controls.h"

// The Start-menu Programs folder and the desktop folder: all users' when
// the system has them, else the current user's. Set once at start-up.
extern std::string ProgramsPath;
extern std::string DesktopPath;

class TForm5 : public qv::WizardPage {
public:
    TForm5();

    qv::Edit* edNameGroup = nullptr;
    qv::ListBox* ListGroup = nullptr;
    qv::DirectoryList* DirList = nullptr;  // hidden: reads the Programs folder's subfolders

    void ListGroupClick();

    // The Start-menu group name as the user left it.
    std::string GroupName() const { return edNameGroup->Text(); }

    // A group that would leave the Start menu's Programs folder (".." in
    // it): says so and gives true, never takes it.
    bool RefuseGroup(const qv::Boxes& boxes);

protected:
    void FormCreate() override;
    // Next needs a group that stays inside the Programs folder.
    bool CanGoNext() override;
};

namespace qv {
// The file-system path of a special folder, or of the fallback when the
// first is missing; empty when neither exists.
std::string SpecialFolderPath(HWND owner, int csidl, int fallbackCsidl);
}  // namespace qv
