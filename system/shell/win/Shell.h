#pragma once
#include <windows.h>
#include <objidl.h>
#include <shellapi.h>

#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }
namespace s::file::win { class PathWin; }

namespace s::shell::win {

typedef str::strbuffer::StrBuffer StrBuffer;

// The shell's start-a-program call and the multi-file properties sheet, replaceable
// so tests never start a program or open a window (null restores the system's).
typedef BOOL(WINAPI* ShellExecuteFn)(SHELLEXECUTEINFOW* info);
typedef HRESULT(WINAPI* MultiFilePropertiesFn)(IDataObject* data, DWORD flags);
ShellExecuteFn setShellExecute(ShellExecuteFn fn);
MultiFilePropertiesFn setMultiFileProperties(MultiFilePropertiesFn fn);

// The program's own executable (a new pooled path; the caller releases it).
file::win::PathWin* getModulePath();
// A new empty file "NEW....tmp" in the temporary folder; null when none could be made.
file::win::PathWin* newTempFilePath();

// The desktop and Windows folders as new pooled strings (empty when the shell gives
// none); the caller releases them.
StrBuffer* desktopFolderPathNew();
StrBuffer* windowsFolderPathNew();
// The desktop folder, found once and shared; callers only read it.
const StrBuffer* desktopFolderPath();

// Opens a file, folder or web address with its default program; nothing for an
// empty text. The call's result.
bool shellOpen(const wchar_t* text);
// The shell's properties sheet of one path.
bool showShellProperties(const wchar_t* text);
// One properties sheet for several paths; texts that name nothing are left out.
// False when none is left or the sheet cannot be shown.
bool showMultiFileProperties(uint32_t count, const wchar_t* const* texts);

// Enables the shutdown privilege of the process, once (a failure is not retried).
void enableShutdownPrivilege();

} // namespace s::shell::win
