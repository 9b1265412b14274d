#pragma once
// The payload carried in the program's own executable: resources of type
// "SETUP", one payload entry each, walked in the order the system lists
// their names.
#include <windows.h>

#include <string>

#include "engine/install_system.h"

namespace qv {

// Counting pass: the number of entries that can be located.
int CountPayloadEntries();

// Installing pass: shows every entry that can be located, loaded and locked
// to the visitor, until the visitor returns false.
void ForEachPayloadEntry(const InstallSystem::EntryVisitor& visit);

// The text of the payload's table of sizes and digests; empty when the
// program carries none.
std::string PayloadDigestText();

// The enumeration callbacks. The parameter points at the pass's state.
BOOL CALLBACK CountEntry(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param);
BOOL CALLBACK ExtractEntry(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param);

}  // namespace qv
