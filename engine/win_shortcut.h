#pragma once
// Shell shortcuts (.lnk files) made through the shell link object.
#include <windows.h>

#include <string>

namespace qv {

// Makes or replaces the shortcut file `file`; every text is the program's
// (toolkit/program_text.h). Each step stops at the first
// one that fails, whose result is returned; S_OK when the file was saved.
// COM must be initialised on the calling thread.
HRESULT CreateShortcut(const std::string& file, const std::string& target,
                    const std::string& workingFolder, const std::string& arguments,
                    WORD hotKey, int showCommand, const std::string& iconFile, int iconIndex);

// COM for the calling thread (single-threaded apartment) for the lifetime
// of this value.
class ComApartment {
public:
    ComApartment() : result_(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

}  // namespace qv
