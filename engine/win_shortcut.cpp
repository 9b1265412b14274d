#include "engine/win_shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "toolkit/win_handles.h"

namespace qv {

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], needed);
    return wide;
}

HRESULT CreateShortcut(const std::wstring& file, const std::string& target,
                       const std::string& workingFolder, const std::string& arguments,
                       WORD hotKey, int showCommand, const std::string& iconFile, int iconIndex) {
    ComPtr<IShellLinkA> link;
    HRESULT result =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void());
    if (FAILED(result)) return result;
    if (FAILED(result = link->SetPath(target.c_str()))) return result;
    if (FAILED(result = link->SetArguments(arguments.c_str()))) return result;
    if (FAILED(result = link->SetWorkingDirectory(workingFolder.c_str()))) return result;
    if (FAILED(result = link->SetIconLocation(iconFile.c_str(), iconIndex))) return result;
    if (FAILED(result = link->SetHotkey(hotKey))) return result;
    if (FAILED(result = link->SetShowCmd(showCommand))) return result;
    ComPtr<IPersistFile> persist;
    if (FAILED(result = link->QueryInterface(IID_IPersistFile, persist.put_void()))) return result;
    result = persist->Save(file.c_str(), TRUE);
    return FAILED(result) ? result : S_OK;
}

}  // namespace qv
