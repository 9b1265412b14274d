#include "engine/win_shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {

HRESULT CreateShortcut(const std::string& file, const std::string& target,
                       const std::string& workingFolder, const std::string& arguments,
                       WORD hotKey, int showCommand, const std::string& iconFile, int iconIndex) {
    ComPtr<IShellLinkW> link;
    HRESULT result =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void());
    if (FAILED(result)) return result;
    if (FAILED(result = link->SetPath(ToWide(target).c_str()))) return result;
    if (FAILED(result = link->SetArguments(ToWide(arguments).c_str()))) return result;
    if (FAILED(result = link->SetWorkingDirectory(ToWide(workingFolder).c_str()))) return result;
    if (FAILED(result = link->SetIconLocation(ToWide(iconFile).c_str(), iconIndex))) return result;
    if (FAILED(result = link->SetHotkey(hotKey))) return result;
    if (FAILED(result = link->SetShowCmd(showCommand))) return result;
    ComPtr<IPersistFile> persist;
    if (FAILED(result = link->QueryInterface(IID_IPersistFile, persist.put_void()))) return result;
    result = persist->Save(ToWide(file).c_str(), TRUE);
    return FAILED(result) ? result : S_OK;
}

}  // namespace qv
