#include "system/file/win/PathArray.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <new>

#include "core/thread/Held.h"
#include "core/col/_array/ArrayU08.h"
#include "core/col/_array/ArrayU32.h"
#include "core/comp/MergeSort.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/Extension.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"

namespace s::file::win {

using col::_array::ArrayP;
using col::_array::ArrayU08;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;

namespace {

using s::thread::Held;

// Key order of the sorts: the shorter length ignoring case, then the shorter first.
int32_t compareKeys(const wchar_t* a, const wchar_t* b) {
    const size_t la = std::wcslen(a);
    const size_t lb = std::wcslen(b);
    const int result = _wcsnicmp(a, b, la < lb ? la : lb);
    if (result != 0) {
        return result < 0 ? -1 : 1;
    }
    return la < lb ? -1 : (la > lb ? 1 : 0);
}

int32_t compareByPath(const void* a, const void* b, void*) {
    return compareKeys(static_cast<const PathWin*>(a)->getText(), static_cast<const PathWin*>(b)->getText());
}

int32_t compareByExtension(const void* a, const void* b, void*) {
    return compareKeys(static_cast<const PathWin*>(a)->getExtensionText(),
                       static_cast<const PathWin*>(b)->getExtensionText());
}

void notifyShell(LONG event, const wchar_t* text) {
    SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, text, nullptr);
}

bool isFolderNow(PathWin* path) {
    const DWORD attributes = GetFileAttributesW(path->getApiText());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The size classes, smallest first, with their lower limits.
struct SizeClass {
    int64_t from;
    const wchar_t* key;
};
const SizeClass SIZE_CLASSES[] = {
    {1024, L"1024"},          {10240, L"10240"},         {102400, L"102400"},         {1048576, L"1048576"},
    {10485760, L"10485760"}, {104857600, L"104857600"}, {1073741824, L"1073741824"},
};
constexpr int SIZE_CLASS_COUNT = sizeof(SIZE_CLASSES) / sizeof(SIZE_CLASSES[0]);

} // namespace

PathArray::PathArray() : flags_(nullptr), multiString_(nullptr) {
    items_.setCleaner(&PathWin::pooler());
}

PathArray::~PathArray() {
    releaseFlags();
    if (multiString_ != nullptr) {
        multiString_->release();
    }
}

void PathArray::reset() {
    freeAll();
}

void PathArray::releaseFlags() {
    if (flags_ != nullptr) {
        flags_->release();
        flags_ = nullptr;
    }
}

void PathArray::clear() {
    items_.clear();
    releaseFlags();
}

void PathArray::freeAll() {
    items_.freeStorage();
    releaseFlags();
    if (multiString_ != nullptr) {
        multiString_->release();
        multiString_ = nullptr;
    }
}

PathWin* PathArray::pathAt(uint32_t index) const {
    return index < items_.count() ? static_cast<PathWin*>(items_.get(index)) : nullptr;
}

IPath* PathArray::getAt(uint32_t index) const {
    return pathAt(index);
}

bool PathArray::add(IPath* path) {
    return path != nullptr && base::isClass<PathWin>(path) && items_.add(path);
}

bool PathArray::addText(const wchar_t* text) {
    PathWin* path = PathWin::create(text);
    if (path != nullptr && !add(path)) {
        path->release();
        return false;
    }
    return path != nullptr;
}

bool PathArray::setAt(uint32_t index, IPath* path) {
    if (path == nullptr || !base::isClass<PathWin>(path) || index > items_.count()) {
        return false;
    }
    if (index == items_.count()) {
        return items_.add(path);
    }
    PathWin* old = pathAt(index);
    items_.set(index, path);
    if (old != path) {
        old->release();
    }
    return true;
}

bool PathArray::setAtText(uint32_t index, const wchar_t* text) {
    PathWin* path = PathWin::create(text);
    if (path != nullptr && !setAt(index, path)) {
        path->release();
        return false;
    }
    return path != nullptr;
}

IPath* PathArray::removeAt(uint32_t index) {
    if (index >= items_.count()) {
        return nullptr;
    }
    if (flags_ != nullptr && index < flags_->count()) {
        flags_->removeRange(index, 1);
    }
    return static_cast<PathWin*>(items_.removeAt(index));
}

void PathArray::removeAndDispose(uint32_t index) {
    IPath* path = removeAt(index);
    if (path != nullptr) {
        static_cast<PathWin*>(path)->release();
    }
}

IPath* PathArray::removeLast() {
    return items_.count() != 0 ? removeAt(items_.count() - 1) : nullptr;
}

void PathArray::sortByPath() {
    comp::sortPointers(items_.slots(), items_.count(), &compareByPath, nullptr);
    releaseFlags();  // they followed the old order
}

void PathArray::sortByExtension() {
    comp::sortPointers(items_.slots(), items_.count(), &compareByExtension, nullptr);
    releaseFlags();
}

ArrayP* PathArray::newGroupList() {
    ArrayP* groups = ArrayP::pool();
    if (groups != nullptr) {
        groups->setCleaner(&Extension::pooler());
    }
    return groups;
}

Extension* PathArray::groupFor(ArrayP* groups, const wchar_t* key) {
    for (uint32_t i = 0; i < groups->count(); ++i) {
        Extension* group = static_cast<Extension*>(groups->get(i));
        if (_wcsicmp(group->keyText(), key) == 0) {
            return group;
        }
    }
    Extension* group = Extension::create(key);
    if (group != nullptr && !groups->add(group)) {
        group->release();
        return nullptr;
    }
    return group;
}

ArrayP* PathArray::groupByExtension() {
    ArrayP* groups = newGroupList();
    if (groups == nullptr) {
        return nullptr;
    }
    sortByExtension();
    Extension* current = nullptr;
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        if (current == nullptr || _wcsicmp(current->keyText(), path->getExtensionText()) != 0) {
            current = Extension::create(path->getExtensionText());
            if (current == nullptr || !groups->add(current)) {
                if (current != nullptr) {
                    current->release();
                }
                current = nullptr;
                continue;
            }
        }
        current->addMember(path);
    }
    return groups;
}

ArrayP* PathArray::groupByWords(bool withExtensions) {
    ArrayP* groups = newGroupList();
    if (groups == nullptr) {
        return nullptr;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        Held<StrBuffer> title(path->getTitle(nullptr, false));
        Held<StrArray> words(title ? title->distinctWords(false) : nullptr);
        for (uint32_t w = 0; words && w < words->count(); ++w) {
            Extension* group = groupFor(groups, words->get(w)->c_str());
            if (group != nullptr) {
                group->addMember(path);
            }
        }
        if (withExtensions && std::wcslen(path->getExtensionText()) > 1) {
            Extension* group = groupFor(groups, path->getExtensionText());
            if (group != nullptr) {
                group->addMember(path);
            }
        }
    }
    return groups;
}

ArrayP* PathArray::groupBySize() {
    ArrayP* groups = newGroupList();
    if (groups == nullptr) {
        return nullptr;
    }
    Extension* byClass[SIZE_CLASS_COUNT] = {};
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        const int64_t size = path->getSize(false, true, nullptr, nullptr, true);
        int found = -1;
        for (int c = SIZE_CLASS_COUNT - 1; c >= 0; --c) {
            if (size >= SIZE_CLASSES[c].from) {
                found = c;
                break;
            }
        }
        if (found < 0) {
            continue;  // under 1,024 bytes: no group
        }
        if (byClass[found] == nullptr) {
            byClass[found] = Extension::create(SIZE_CLASSES[found].key);
        }
        if (byClass[found] != nullptr) {
            byClass[found]->addMember(path);
        }
    }
    for (int c = 0; c < SIZE_CLASS_COUNT; ++c) {
        if (byClass[c] != nullptr && !groups->add(byClass[c])) {
            byClass[c]->release();
        }
    }
    return groups;
}

ArrayP* PathArray::groupBySizeByCount() {
    ArrayP* groups = groupBySize();
    if (groups != nullptr) {
        comp::sortPointers(groups->slots(), groups->count(), &Extension::compareCounts, nullptr, true);
    }
    return groups;
}

bool PathArray::indexOf(const IPath* path, uint32_t* at) const {
    if (path == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        if (CompareStringOrdinal(pathAt(i)->getText(), -1, path->getText(), -1, TRUE) == CSTR_EQUAL) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
    }
    return false;
}

bool PathArray::indexOfText(const wchar_t* text, uint32_t* at) const {
    Held<PathWin> path(PathWin::create(text));
    return path && indexOf(path.get(), at);
}

bool PathArray::indexOfEqual(const IPath* path, uint32_t* at) const {
    if (path == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        if (std::wcscmp(pathAt(i)->getText(), path->getText()) == 0) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
    }
    return false;
}

void PathArray::expandFolders(bool sort) {
    const uint32_t n = count();
    for (uint32_t i = 0; i < n; ++i) {
        PathWin* path = pathAt(i);
        if (!isFolderNow(path)) {
            continue;
        }
        Held<PathArray> files(path->listFilePathsInto(true, false, nullptr));
        if (!files) {
            continue;
        }
        if (sort) {
            files->sortByPath();
        }
        ArrayP* moved = files->items();
        for (uint32_t j = 0; j < moved->count(); ++j) {
            if (!items_.add(moved->get(j))) {
                static_cast<PathWin*>(moved->get(j))->release();
            }
        }
        moved->setCount(0);  // the paths belong to this list now
    }
}

StrBuffer* PathArray::buildMultiString(StrBuffer* buffer, bool append) {
    if (buffer == nullptr) {
        buffer = StrBuffer::pool();
    } else if (!append) {
        buffer->clear();
    }
    if (buffer == nullptr) {
        return nullptr;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        buffer->append(pathAt(i)->getText())->appendChar(L'\0');
    }
    buffer->appendChar(L'\0');
    return buffer;
}

const wchar_t* PathArray::getMultiString() {
    multiString_ = buildMultiString(multiString_, false);
    return multiString_ != nullptr ? multiString_->data() : nullptr;
}

void PathArray::snapshotDirectoryFlags() {
    if (flags_ == nullptr) {
        flags_ = ArrayU08::pool();
        if (flags_ == nullptr) {
            return;
        }
    }
    flags_->clear();
    for (uint32_t i = 0; i < count(); ++i) {
        flags_->add(isFolderNow(pathAt(i)) ? 1 : 0);
    }
}

bool PathArray::wasDirectory(uint32_t index) const {
    return flags_ != nullptr && index < flags_->count() && flags_->get(index) != 0;
}

PathArray* PathArray::takeFolders() {
    PathArray* folders = pool();
    if (folders == nullptr) {
        return nullptr;
    }
    for (uint32_t i = count(); i > 0; --i) {
        if (pathAt(i - 1)->isDirectory()) {
            PathWin* path = static_cast<PathWin*>(removeAt(i - 1));
            if (!folders->add(path)) {
                path->release();
            }
        }
    }
    return folders;
}

int64_t PathArray::sumSizes(const col::_array::ArrayU32* indexes) {
    int64_t total = 0;
    for (uint32_t i = 0; indexes != nullptr && i < indexes->count(); ++i) {
        PathWin* path = pathAt(indexes->get(i));
        if (path != nullptr) {
            total += path->getSize(false, true, nullptr, nullptr, true);
        }
    }
    return total;
}

StrArray* PathArray::getNames() {
    StrArray* names = StrArray::pool();
    for (uint32_t i = 0; names != nullptr && i < count(); ++i) {
        names->addOwned(pathAt(i)->getName(nullptr, false));
    }
    return names;
}

PathArray* PathArray::mapInto(const wchar_t* folder) {
    PathArray* mapped = pool();
    for (uint32_t i = 0; mapped != nullptr && i < count(); ++i) {
        Held<StrBuffer> name(pathAt(i)->getName(nullptr, false));
        PathWin* path = name ? PathWin::createJoined(folder, name->c_str()) : nullptr;
        if (path != nullptr && !mapped->add(path)) {
            path->release();
        }
    }
    return mapped;
}

PathArray* PathArray::mapIntoWithFlags(const wchar_t* folder) {
    PathArray* mapped = mapInto(folder);
    if (mapped != nullptr && flags_ != nullptr) {
        mapped->flags_ = ArrayU08::pool();
        if (mapped->flags_ != nullptr) {
            mapped->flags_->append(flags_->items(), flags_->count());
        }
    }
    return mapped;
}

void PathArray::makeUnique() {
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        if (path->exists()) {
            PathWin* unique = path->uniqueName();
            if (unique != nullptr && !setAt(i, unique)) {
                unique->release();
            }
        }
    }
}

void PathArray::notifyCreated() {
    if (flags_ == nullptr || count() == 0) {
        return;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        if (path->exists()) {
            notifyShell(wasDirectory(i) ? SHCNE_MKDIR : SHCNE_CREATE, path->getText());
        }
    }
}

void PathArray::notifyDeleted() {
    if (flags_ == nullptr || count() == 0) {
        return;
    }
    for (uint32_t i = 0; i < count(); ++i) {
        PathWin* path = pathAt(i);
        if (path->isValid() && !path->exists()) {
            notifyShell(wasDirectory(i) ? SHCNE_RMDIR : SHCNE_DELETE, path->getText());
        }
    }
}

int32_t PathArray::shellTransfer(UINT operation, const wchar_t* folder, bool notify, HWND window) {
    PathWin* given = PathWin::create(folder);
    // A folder shortcut stands for its target folder.
    PathWin* target = given != nullptr ? given->folderShortcutTarget() : nullptr;
    if (target != nullptr) {
        given->release();
        given = target;
    }
    Held<PathWin> destination(given);
    if (count() == 0 || !destination || !destination->isValid()) {
        return SHELL_FAILED;
    }
    PathArray* mapped = nullptr;
    if (notify) {
        snapshotDirectoryFlags();
        mapped = mapIntoWithFlags(destination->getText());
    }
    Held<PathArray> mappedHolder(mapped);
    Held<StrBuffer> from(buildMultiString(nullptr, false));
    Held<StrBuffer> to(destination->getAsFolder(nullptr, false));
    if (!from || !to) {
        return SHELL_FAILED;
    }
    if (count() == 1) {
        Held<StrBuffer> name(pathAt(0)->getName(nullptr, false));
        to->append(name.get());
    }
    to->appendChar(L'\0')->appendChar(L'\0');
    SHFILEOPSTRUCTW shell = {};
    shell.hwnd = window;
    shell.wFunc = operation;
    shell.pFrom = from->data();
    shell.pTo = to->data();
    shell.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    if (SHFileOperationW(&shell) != 0) {
        return SHELL_FAILED;
    }
    if (shell.fAnyOperationsAborted) {
        return SHELL_ABORTED;
    }
    if (mapped != nullptr) {
        mapped->notifyCreated();
    }
    return SHELL_DONE;
}

int32_t PathArray::copyInto(const wchar_t* folder, bool notify, HWND window) {
    return shellTransfer(FO_COPY, folder, notify, window);
}

int32_t PathArray::moveInto(const wchar_t* folder, bool notify, HWND window) {
    return shellTransfer(FO_MOVE, folder, notify, window);
}

int32_t PathArray::createShortcutsIn(const wchar_t* folder, bool notify, IPathArray** mapped) {
    Held<PathArray> links(pool());
    uint32_t made = 0;
    uint32_t tried = 0;
    for (uint32_t i = 0; links && i < count(); ++i) {
        PathWin* path = pathAt(i);
        if (!path->exists()) {
            continue;
        }
        ++tried;
        Held<StrBuffer> name(path->getName(nullptr, false));
        Held<StrBuffer> link(StrBuffer::shortcutPath(folder, name->c_str()));
        if (path->createShortcut(link->c_str(), false, nullptr)) {
            ++made;
            links->addText(link->c_str());
        }
    }
    if (notify && links) {
        links->snapshotDirectoryFlags();
        links->notifyCreated();
    }
    if (mapped != nullptr) {
        *mapped = links.take();
    }
    if (made == 0) {
        return NONE_MADE;
    }
    return made == tried ? ALL_MADE : SOME_MADE;
}

bool PathArray::recycleAll(bool notify, bool confirm, HWND window) {
    if (count() == 0) {
        return false;
    }
    if (notify) {
        snapshotDirectoryFlags();
    }
    Held<StrBuffer> from(buildMultiString(nullptr, false));
    if (!from) {
        return false;
    }
    SHFILEOPSTRUCTW shell = {};
    shell.hwnd = window;
    shell.wFunc = FO_DELETE;
    shell.pFrom = from->data();
    shell.fFlags = FOF_ALLOWUNDO;
    if (!confirm) {
        shell.fFlags |= FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    }
    bool done = SHFileOperationW(&shell) == 0 && !shell.fAnyOperationsAborted;
    // The shell can answer 0 and leave paths in place: only paths that are gone count.
    for (uint32_t i = 0; done && i < count(); ++i) {
        done = !pathAt(i)->exists();
    }
    if (notify) {
        notifyDeleted();  // announces whatever did go
    }
    return done;
}

bool PathArray::showProperties() {
    const uint32_t n = count();
    if (n == 0) {
        return false;
    }
    if (n == 1) {
        return shell::win::showShellProperties(pathAt(0)->getText());
    }
    const wchar_t** texts = new (std::nothrow) const wchar_t*[n];
    if (texts == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < n; ++i) {
        texts[i] = pathAt(i)->getText();
    }
    const bool shown = shell::win::showMultiFileProperties(n, texts);
    delete[] texts;
    return shown;
}

} // namespace s::file::win
