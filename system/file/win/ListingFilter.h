#pragma once
#include <windows.h>

namespace s::file::win {

class PathWin;

// Which directory entries a listing shows. "." and ".." and reparse points never;
// unless everything is asked for, Explorer's settings decide on hidden and system
// entries, and AUTOEXEC.BAT and CONFIG.SYS are left out on the system drive while
// either setting hides something.
class ListingFilter {
public:
    // The settings are read (from the current user's Explorer key) only when
    // includeAll is false.
    ListingFilter(PathWin* folder, bool includeAll);
    ListingFilter(bool includeAll, bool showHidden, bool showSystem, bool onSystemDrive);

    bool passes(const WIN32_FIND_DATAW& entry) const;

    // "Hidden" (default 1) is not 2.
    static bool readShowHidden();
    // "ShowSuperHidden" (default 0) is not 0.
    static bool readShowSystem();
    // The volume root of the Windows folder ("C:\" when it cannot be had), found once.
    static const wchar_t* systemDriveRoot();

private:
    bool includeAll_;
    bool showHidden_;
    bool showSystem_;
    bool onSystemDrive_;
};

} // namespace s::file::win
