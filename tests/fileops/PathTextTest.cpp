// The text model of paths: normalising, splitting, long forms, parents and the names
// derived from a path, none of which needs the file system.
#include <gtest/gtest.h>

#include <string>

#include "Released.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"

using s::file::win::PathWin;
using s::str::strbuffer::StrBuffer;

TEST(PathText, NormalisesSeparatorsAndSplits) {
    auto p = path(L"C:/Music//rock\\\\a.mp3");
    EXPECT_TRUE(p->isValid());
    EXPECT_STREQ(L"C:\\Music\\rock\\a.mp3", p->getText());
    EXPECT_STREQ(L"C:\\Music\\rock\\", p->getFolder());
    EXPECT_STREQ(L"C:\\Music\\rock", p->getFolderNoSlash());
    EXPECT_STREQ(L"a.mp3", p->getName());
    EXPECT_STREQ(L"a", p->getTitle());
    EXPECT_STREQ(L".mp3", p->getExtension());
    EXPECT_STREQ(L"mp3", p->getExtensionNoDot());
    EXPECT_STREQ(L"C:\\Music\\rock\\a.mp3\\", p->getAsFolder());
    EXPECT_TRUE(p->hasDriveLetter());
    EXPECT_EQ(L'C', p->getDriveLetter());
    EXPECT_TRUE(p->hasExtension(L".MP3"));

    auto folder = path(L"C:\\Music\\");
    EXPECT_STREQ(L"C:\\Music", folder->getText());
    EXPECT_STREQ(L"Music", folder->getTitle());
    EXPECT_STREQ(L"", folder->getExtension());

    // A UNC path keeps its leading pair, however it was written.
    auto unc = path(L"//server//share/x.wav");
    EXPECT_STREQ(L"\\\\server\\share\\x.wav", unc->getText());
    EXPECT_TRUE(unc->isUnc());
    EXPECT_STREQ(L"server", unc->getServerName());
    EXPECT_STREQ(L"\\\\server\\share\\", unc->getVolumeRoot());

    auto dotted = path(L"D:\\x\\.hidden");
    EXPECT_STREQ(L"", dotted->getTitle());
    EXPECT_STREQ(L".hidden", dotted->getExtension());

    auto stream = path(L"C:\\a\\song.mp3:meta");
    EXPECT_TRUE(stream->isStream());
    EXPECT_FALSE(path(L"C:\\a\\song.mp3")->isStream());
}

TEST(PathText, EmptyTextIsInvalid) {
    auto p = path(L"");
    EXPECT_FALSE(p->isValid());
    EXPECT_FALSE(p->exists());
    EXPECT_STREQ(L"", p->getText());
    EXPECT_STREQ(L"", p->getName());
    EXPECT_STREQ(L"", p->getFolder());
    // Setting a new text clears what the object knew.
    p->setText(L"C:\\x.txt");
    EXPECT_STREQ(L"x.txt", p->getName());
    p->setText(L"");
    EXPECT_STREQ(L"", p->getName());
    EXPECT_FALSE(p->isValid());
}

TEST(PathText, LongFormOnlyForLongAbsolutePaths) {
    const std::wstring head = L"C:\\";
    auto of = [&](size_t length) { return head + std::wstring(length - head.size(), L'a'); };

    auto short249 = path(of(249));
    EXPECT_EQ(of(249), short249->getApiText());

    auto long250 = path(of(250));
    EXPECT_EQ(L"\\\\?\\" + of(250), long250->getApiText());
    EXPECT_EQ(of(250), long250->getText());

    const std::wstring unc = L"\\\\server\\share\\" + std::wstring(250, L'u');
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\" + std::wstring(250, L'u'), std::wstring(path(unc)->getApiText()));

    // "\\?\" turns off the system's normalising: a relative text stays as it is, and
    // doubled separators and "." / ".." parts are resolved before the prefix.
    const std::wstring relative = std::wstring(120, L'r') + L"\\" + std::wstring(200, L's');
    EXPECT_EQ(relative, path(relative)->getApiText());

    const std::wstring name(240, L'n');
    auto messy = path(L"C:\\dir\\\\.\\skip\\..\\" + name);
    EXPECT_EQ(L"\\\\?\\C:\\dir\\" + name, std::wstring(messy->getApiText()));

    // A name ending in a dot or a blank is another file than the one without: only the
    // prefixed form keeps it, at any length.
    const struct {
        const wchar_t* given;
        const wchar_t* api;
    } exact[] = {
        {L"C:\\in\\end.wav.", L"\\\\?\\C:\\in\\end.wav."},
        {L"C:\\in\\sp.wav ", L"\\\\?\\C:\\in\\sp.wav "},
        {L"C:\\album.\\a.wav", L"\\\\?\\C:\\album.\\a.wav"},
        {L"\\\\server\\share\\x.", L"\\\\?\\UNC\\server\\share\\x."},
        {L"C:\\in\\.\\a.wav", L"C:\\in\\.\\a.wav"},
        {L"C:\\in\\..\\a.wav", L"C:\\in\\..\\a.wav"},
        {L"rel\\end.wav.", L"rel\\end.wav."},
    };
    for (const auto& e : exact) {
        EXPECT_EQ(std::wstring(e.api), std::wstring(path(e.given)->getApiText()));
    }
}

TEST(PathText, ParentChains) {
    EXPECT_EQ(L"C:\\a", text(held(path(L"C:\\a\\b.txt")->parent())));
    EXPECT_EQ(L"C:", text(held(path(L"C:\\a")->parent())));
    EXPECT_EQ(L"C:", text(held(path(L"C:")->parent())));
    EXPECT_EQ(nullptr, held(path(L"C:")->getParentOrNull()).get());
    EXPECT_TRUE(path(L"C:\\")->isDriveRoot());

    // Walking up a deep path ends at the drive.
    auto p = path(L"C:\\one\\two\\three\\four.txt");
    std::wstring seen;
    for (Released<PathWin> up = held(p->getParentOrNull()); up; up = held(up->getParentOrNull())) {
        seen += std::wstring(up->getText()) + L"|";
    }
    EXPECT_EQ(L"C:\\one\\two\\three|C:\\one\\two|C:\\one|C:|", seen);

    // A bare name has no folder, and names derived from it stay relative.
    auto bare = path(L"readme");
    EXPECT_STREQ(L"", bare->getFolder());
    EXPECT_EQ(L"readme.mp3", text(held(bare->withExtension(L".mp3"))));
    EXPECT_FALSE(held(bare->parent())->isValid());
}

TEST(PathText, DerivedNames) {
    EXPECT_EQ(L"D:\\x\\readme.mp3", text(held(path(L"D:\\x\\readme")->withExtension(L".mp3"))));
    EXPECT_EQ(L"D:\\x\\a.wav", text(held(path(L"D:\\x\\a.mp3")->withExtension(L".wav"))));
    EXPECT_EQ(L"D:\\out\\song.aac.m4a", text(held(path(L"D:\\out\\song.m4a")->insertBeforeExtension(L".aac"))));
    EXPECT_EQ(L"D:\\a.tar_x.gz", text(held(path(L"D:\\a.tar.gz")->insertBeforeExtension(L"_x"))));
    EXPECT_EQ(L"D:\\out\\a.mp3\\b", text(held(path(L"D:\\out\\a.mp3")->child(L"b"))));
    EXPECT_EQ(L"D:\\f\\n.lnk", text(held(PathWin::createShortcutPath(L"D:\\f", L"n"))));
    EXPECT_EQ(L"D:\\fn", text(held(PathWin::createConcat(L"D:\\f", L"n"))));
}

TEST(PathText, VolumesAndRelativePaths) {
    auto p = path(L"c:\\music\\a.mp3");
    // Drive letters name the same volume whatever their case.
    EXPECT_TRUE(p->isSameVolume(L"C:\\other"));
    EXPECT_FALSE(p->isSameVolume(L"D:\\other"));
    EXPECT_TRUE(path(L"\\\\Server\\s\\a")->isSameVolume(L"\\\\SERVER\\t"));
    EXPECT_FALSE(path(L"\\\\one\\s\\a")->isSameVolume(L"\\\\two\\s"));
    EXPECT_STREQ(L"C:\\", path(L"C:\\x\\y")->getVolumeRoot());

    auto base = path(L"C:\\music\\rock");
    EXPECT_STREQ(L"a.mp3", base->getRelativePath(L"C:\\music\\rock\\a.mp3", true));
    EXPECT_STREQ(L"..\\jazz\\b.mp3", base->getRelativePath(L"C:\\music\\jazz\\b.mp3", true));
    EXPECT_STREQ(L"D:\\x.mp3", base->getRelativePath(L"D:\\x.mp3", true));
    // A difference inside a name climbs from that name's start.
    EXPECT_STREQ(L"..\\abd\\x", path(L"c:\\abc")->getRelativePath(L"c:\\abd\\x", true));

    EXPECT_STREQ(L"C:\\music\\rock\\a.mp3", base->getAbsolutePath(L"a.mp3", true));
    EXPECT_STREQ(L"C:\\music\\jazz\\b.mp3", base->getAbsolutePath(L"..\\jazz\\b.mp3", true));
    EXPECT_STREQ(L"C:\\other.mp3", base->getAbsolutePath(L"../../other.mp3", true));
    EXPECT_STREQ(L"D:\\y", base->getAbsolutePath(L"D:\\y", true));
}

TEST(PathText, PrefixedFormsNameTheirDriveOrShare) {
    auto drive = path(L"\\\\?\\C:\\a\\b.txt");
    EXPECT_FALSE(drive->isUnc());
    EXPECT_STREQ(L"", drive->getServerName());
    EXPECT_TRUE(drive->hasDriveLetter());
    EXPECT_EQ(L'C', drive->getDriveLetter());
    EXPECT_STREQ(L"\\\\?\\C:\\", drive->getVolumeRoot());
    EXPECT_TRUE(path(L"\\\\?\\C:\\a")->isSameVolume(L"\\\\?\\c:\\b"));
    EXPECT_FALSE(path(L"\\\\?\\C:\\a")->isSameVolume(L"\\\\?\\D:\\b"));
    EXPECT_TRUE(path(L"\\\\?\\C:\\a")->isSameVolume(L"C:\\b"));
    EXPECT_FALSE(path(L"D:\\a")->isSameVolume(L"\\\\?\\C:\\b"));
    EXPECT_STREQ(L"\\\\?\\D:\\", path(L"\\\\?\\D:")->getVolumeRoot());
    EXPECT_TRUE(path(L"\\\\?\\D:\\")->isDriveRoot());
    EXPECT_EQ(L"\\\\?\\D:", text(held(path(L"\\\\?\\D:\\x")->parent())));
    EXPECT_EQ(nullptr, held(path(L"\\\\?\\D:")->getParentOrNull()).get());

    auto share = path(L"\\\\?\\UNC\\srv\\share\\x\\y.wav");
    EXPECT_TRUE(share->isUnc());
    EXPECT_FALSE(share->hasDriveLetter());
    EXPECT_STREQ(L"srv", share->getServerName());
    EXPECT_STREQ(L"\\\\?\\UNC\\srv\\share\\", share->getVolumeRoot());
    EXPECT_TRUE(share->isSameVolume(L"\\\\SRV\\share\\z"));
    EXPECT_FALSE(share->isSameVolume(L"\\\\?\\UNC\\other\\share"));
    EXPECT_FALSE(share->isSameVolume(L"\\\\?\\C:\\x"));

    // Relative paths only between texts spelt alike; otherwise the target as given.
    auto base = path(L"\\\\?\\C:\\music");
    EXPECT_STREQ(L"a.mp3", base->getRelativePath(L"\\\\?\\C:\\music\\a.mp3", true));
    EXPECT_STREQ(L"\\\\?\\D:\\x.mp3", base->getRelativePath(L"\\\\?\\D:\\x.mp3", true));
    EXPECT_STREQ(L"C:\\music\\a.mp3", base->getRelativePath(L"C:\\music\\a.mp3", true));
}

TEST(PathText, ComparesFullTexts) {
    auto a = path(L"C:\\Music\\A.mp3");
    auto b = path(L"c:/music/a.mp3");
    EXPECT_FALSE(a->equals(b.get()));
    EXPECT_TRUE(a->equalsIgnoreCase(b.get()));
    EXPECT_EQ(a->hashCodeIgnoreCase(), b->hashCodeIgnoreCase());
    EXPECT_LT(a->compareTo(b.get()), 0);
    EXPECT_STREQ(L"s_file_win_PathWin", a->className());

    Released<StrBuffer> debug = held(a->debugText(nullptr, false));
    EXPECT_NE(nullptr, std::wcsstr(debug->c_str(), L"FileTitle: A\r\n"));
}
