#pragma once
// Destination folder page: the folder is held as the text of edDir.
#include <string>

#include "engine/win_boxes.h"
#include "pages/wizard_page.h"
#include "toolkit/folder_controls.h"

class TForm4 : public qv::WizardPage {
public:
    TForm4();

    qv::Edit* edDir = nullptr;
    qv::DirectoryList* DirList = nullptr;
    qv::DriveCombo* DriveList = nullptr;

    void DirListChange();

    // The destination folder as the user left it.
    std::string Destination() const { return edDir->Text(); }
    // An empty destination (or one of blanks), or one that is not a full
    // path, would put the files into the current folder or a drive's root;
    // one too long for the longest file name would be installed in part:
    // says so and gives true, never takes it.
    bool RefuseDestination(const qv::Boxes& boxes);
    // When the program is installed in another folder, asks whether to
    // remove it first; when something is already at the destination, asks
    // whether to install there all the same; true to go on. An unattended
    // run passes boxes that answer by rule.
    bool ConfirmDestination(const qv::Boxes& boxes);

protected:
    void FormCreate() override;
    // Next needs a destination it may take, and agreement to a folder that
    // is already there.
    bool CanGoNext() override;
};
