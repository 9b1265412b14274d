#include "engine/win_lz.h"

#include <windows.h>
#include <lzexpand.h>

#include "toolkit/safe_dll.h"
#include "toolkit/win_handles.h"

namespace qv {

namespace {

// LZ32.DLL is not one of Windows' known DLLs: imported at load time it
// would be looked for beside setup.exe first. It is loaded from the system
// folder on first use instead and stays loaded for the rest of the run.
struct LzLibrary {
    UniqueModule module;
    decltype(&LZOpenFileA) openFile = nullptr;
    decltype(&LZInit) init = nullptr;
    decltype(&LZCopy) copy = nullptr;
    decltype(&LZClose) close = nullptr;

    LzLibrary() : module(LoadSystemDll("lz32.dll")) {
        if (!module) return;
        openFile = ProcAddress<decltype(openFile)>(module.get(), "LZOpenFileA");
        init = ProcAddress<decltype(init)>(module.get(), "LZInit");
        copy = ProcAddress<decltype(copy)>(module.get(), "LZCopy");
        close = ProcAddress<decltype(close)>(module.get(), "LZClose");
    }
    bool ready() const { return openFile && init && copy && close; }
};

// Made once, by whichever thread expands first.
const LzLibrary& Lz() {
    static const LzLibrary library;
    return library;
}

// LZOpenFileA goes through OpenFile, which takes no path of
// OFS_MAXPATHNAME (128) characters or more. Longer paths are opened with
// _lopen / _lcreat, which take any path the system does, and the source is
// then set up for expansion with LZInit.
bool FitsOpenFile(const std::string& path) { return path.size() < OFS_MAXPATHNAME; }

UniqueLzFile OpenSource(const std::string& path) {
    if (FitsOpenFile(path)) {
        OFSTRUCT info{};
        return UniqueLzFile(Lz().openFile(const_cast<LPSTR>(path.c_str()), &info, OF_READ));
    }
    const HFILE file = _lopen(path.c_str(), OF_READ);
    if (file == HFILE_ERROR) return UniqueLzFile();
    const INT lz = Lz().init(file);
    if (lz < 0) {
        _lclose(file);
        return UniqueLzFile();
    }
    return UniqueLzFile(lz);
}

// The target is always created with _lcreat: when LZOpenFileA cannot create
// a file it quietly creates one whose name ends in "_" instead, so a target
// held by another program would be written under another name.
UniqueLzFile OpenTarget(const std::string& path) {
    const HFILE file = _lcreat(path.c_str(), 0);
    return UniqueLzFile(file == HFILE_ERROR ? -1 : static_cast<INT>(file));
}

}  // namespace

void LzFileTraits::close(INT h) { Lz().close(h); }

ExpandResult LzExpandFile(const std::string& source, const std::string& target) {
    if (!Lz().ready()) return ExpandResult::OpenFailed;
    UniqueLzFile from = OpenSource(source);
    // The target is not touched (created or truncated) unless there is a
    // source to fill it from.
    if (!from) return ExpandResult::OpenFailed;
    UniqueLzFile to = OpenTarget(target);
    if (!to) return ExpandResult::OpenFailed;
    return Lz().copy(from.get(), to.get()) < 0 ? ExpandResult::CopyFailed : ExpandResult::Expanded;
}

}  // namespace qv
