#include "engine/win_lz.h"

#include <windows.h>
#include <lzexpand.h>

#include "toolkit/win_handles.h"

namespace qv {

namespace {

// LZOpenFileA goes through OpenFile, which takes no path of
// OFS_MAXPATHNAME (128) characters or more. Longer paths are opened with
// _lopen / _lcreat, which take any path the system does, and the source is
// then set up for expansion with LZInit.
bool FitsOpenFile(const std::string& path) { return path.size() < OFS_MAXPATHNAME; }

UniqueLzFile OpenSource(const std::string& path) {
    if (FitsOpenFile(path)) {
        OFSTRUCT info{};
        return UniqueLzFile(LZOpenFileA(const_cast<LPSTR>(path.c_str()), &info, OF_READ));
    }
    const HFILE file = _lopen(path.c_str(), OF_READ);
    if (file == HFILE_ERROR) return UniqueLzFile();
    const INT lz = LZInit(file);
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

ExpandResult LzExpandFile(const std::string& source, const std::string& target) {
    UniqueLzFile from = OpenSource(source);
    // The target is not touched (created or truncated) unless there is a
    // source to fill it from.
    if (!from) return ExpandResult::OpenFailed;
    UniqueLzFile to = OpenTarget(target);
    if (!to) return ExpandResult::OpenFailed;
    return LZCopy(from.get(), to.get()) < 0 ? ExpandResult::CopyFailed : ExpandResult::Expanded;
}

}  // namespace qv
