#include "system/file/win/PathWin.h"

#include "system/file/win/PathWinShared.h"

namespace s::file::win {

using namespace pathwin;

namespace {

int32_t compareNames(const void* a, const void* b, void*) {
    return static_cast<const StrBuffer*>(a)->compareTo(static_cast<const StrBuffer*>(b));
}

// Adds the entries of folder of the given kind to add(PathWin*) (which takes them),
// descending into folders when recursive.
template <class Add>
void collect(PathWin* folder, int kind, bool includeAll, bool recursive, Add& add) {
    ListingFilter filter(folder, includeAll);
    walkFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        PathWin* child = PathWin::createJoined(folder->getText(), entry.cFileName);
        if (child == nullptr) {
            return true;
        }
        const bool wanted = kind == PathWin::ALL || (kind == PathWin::FOLDERS) == isFolder;
        if (isFolder && recursive) {
            if (wanted) {
                if (add(child)) {
                    collect(child, kind, includeAll, true, add);
                } else {
                    child->release();
                }
            } else {
                collect(child, kind, includeAll, true, add);
                child->release();
            }
        } else if (!wanted || !add(child)) {
            child->release();
        }
        return true;
    });
}

} // namespace

// ---------------------------------------------------------------------------------
// Listings

PathWin* PathWin::siblingFile(bool forward, const StrArray* extensions, bool sorted, bool wrap) {
    Held<PathWin> up(parent());
    if (!up) {
        return nullptr;
    }
    Held<StrArray> names(up->listNames(false, false));
    Held<ArrayP> order(ArrayP::pool());  // the names, not owned
    if (!names || !order) {
        return nullptr;
    }
    for (uint32_t i = 0; i < names->count(); ++i) {
        StrBuffer* name = names->get(i);
        bool kept = extensions == nullptr;
        for (uint32_t e = 0; !kept && e < extensions->count(); ++e) {
            kept = name->endsWithIgnoreCase(extensions->get(e)->c_str());
        }
        if (kept) {
            order->add(name);
        }
    }
    const uint32_t count = order->count();
    if (count < 2) {
        return nullptr;
    }
    if (sorted) {
        comp::sortPointers(order->slots(), count, &compareNames, nullptr);
    }
    Held<StrBuffer> own(getName(nullptr, false));
    uint32_t index = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (static_cast<StrBuffer*>(order->get(i))->equalsIgnoreCase(own.get())) {
            index = i;
            break;
        }
    }
    if (forward) {
        index = index + 1 < count ? index + 1 : (wrap ? 0 : count);
    } else {
        index = index > 0 ? index - 1 : (wrap ? count - 1 : count);
    }
    if (index == count) {
        return nullptr;
    }
    return up->child(static_cast<StrBuffer*>(order->get(index))->c_str());
}

bool PathWin::hasChildren(bool includeAll) {
    ListingFilter filter(this, includeAll);
    bool found = false;
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        found = filter.passes(entry);
        return !found;
    });
    return found;
}

StrArray* PathWin::listNamesOf(int kind, bool fullPaths, bool includeAll) {
    StrArray* names = StrArray::pool();
    if (names == nullptr) {
        return nullptr;
    }
    ListingFilter filter(this, includeAll);
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (kind != ALL && (kind == FOLDERS) != isFolder) {
            return true;
        }
        if (fullPaths) {
            names->addOwned(StrBuffer::joinPath(getText(), entry.cFileName));
        } else {
            names->add(entry.cFileName);
        }
        return true;
    });
    return names;
}

StrArray* PathWin::listNames(bool fullPaths, bool includeAll) {
    return listNamesOf(ALL, fullPaths, includeAll);
}

StrArray* PathWin::listFolderNames(bool fullPaths, bool includeAll) {
    return listNamesOf(FOLDERS, fullPaths, includeAll);
}

StrArray* PathWin::listFileNames(bool fullPaths, bool includeAll) {
    return listNamesOf(FILES, fullPaths, includeAll);
}

namespace {

ArrayP* pathList(ArrayP* out) {
    if (out == nullptr) {
        out = ArrayP::pool();
        if (out != nullptr) {
            out->setCleaner(&PathWin::pooler());
        }
    }
    return out;
}

ArrayP* listInto(PathWin* folder, int kind, bool includeAll, bool recursive, ArrayP* out) {
    out = pathList(out);
    if (out != nullptr) {
        auto add = [out](PathWin* path) { return out->add(path); };
        collect(folder, kind, includeAll, recursive, add);
    }
    return out;
}

PathArray* listIntoArray(PathWin* folder, int kind, bool includeAll, bool recursive, IPathArray* list) {
    PathArray* out = list != nullptr ? static_cast<PathArray*>(list) : PathArray::pool();
    if (out != nullptr) {
        auto add = [out](PathWin* path) { return out->add(path); };
        collect(folder, kind, includeAll, recursive, add);
    }
    return out;
}

} // namespace

ArrayP* PathWin::listPaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, ALL, includeAll, recursive, out);
}

ArrayP* PathWin::listFolderPaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, FOLDERS, includeAll, recursive, out);
}

ArrayP* PathWin::listFilePaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, FILES, includeAll, recursive, out);
}

PathArray* PathWin::listPathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, ALL, includeAll, recursive, list);
}

PathArray* PathWin::listFolderPathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, FOLDERS, includeAll, recursive, list);
}

PathArray* PathWin::listFilePathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, FILES, includeAll, recursive, list);
}

ArrayP* PathWin::listStreams(ArrayP* out) {
    return StreamLister::list(this, out);
}

ArrayP* PathWin::find(bool foldersToo, bool includeAll, bool recursive, ArrayP* out) {
    out = pathList(out);
    if (out == nullptr || !valid_) {
        return out;
    }
    Held<PathWin> folder(parent());
    Held<StrBuffer> folderText(getFolder(nullptr, false));
    Held<StrBuffer> pattern(getName(nullptr, false));
    ListingFilter filter(folder.get(), includeAll);
    walk(getApiText(), [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        if (!foldersToo && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return true;
        }
        PathWin* match = createConcat(folderText->c_str(), entry.cFileName);
        if (match != nullptr && !out->add(match)) {
            match->release();
        }
        return true;
    });
    if (recursive && folder && folder->exists()) {
        Held<StrArray> subfolders(folder->listFolderNames(true, includeAll));
        for (uint32_t i = 0; subfolders && i < subfolders->count(); ++i) {
            Held<PathWin> deeper(createJoined(subfolders->get(i)->c_str(), pattern->c_str()));
            if (deeper) {
                deeper->find(foldersToo, includeAll, true, out);
            }
        }
    }
    return out;
}

ArrayP* PathWin::findFiles(bool includeAll, bool recursive, ArrayP* out) {
    return find(false, includeAll, recursive, out);
}

ArrayP* PathWin::findAll(bool includeAll, bool recursive, ArrayP* out) {
    return find(true, includeAll, recursive, out);
}

// ---------------------------------------------------------------------------------
// Streams and whole files

FileInputStream* PathWin::openInputStream() {
    FileInputStream* stream = FileInputStream::pool();
    if (stream != nullptr && !stream->open(this)) {
        stream->release();
        return nullptr;
    }
    return stream;
}

FileOutputStream* PathWin::openOutputStream(bool append) {
    ensureParentFolder();
    FileOutputStream* stream = FileOutputStream::pool();
    if (stream != nullptr && !stream->open(this, append)) {
        stream->release();
        return nullptr;
    }
    return stream;
}

bool PathWin::readAllBytes(ArrayU08* bytes) {
    if (bytes == nullptr) {
        return false;
    }
    bytes->clear();
    Held<FileInputStream> input(openInputStream());
    if (!input) {
        return false;
    }
    input->seekEnd();
    const int64_t size = input->position();
    input->rewind();
    if (size < 0 || size > 0x7FFFFFFF || input->position() != 0 || !bytes->reserveExact(static_cast<uint32_t>(size))) {
        return false;
    }
    // Straight into the array; a file that grew meanwhile is read to its new end.
    for (;;) {
        if (bytes->count() == bytes->capacity() && !bytes->reserve(bytes->count() + 65536)) {
            return false;
        }
        uint32_t got = 0;
        if (!input->read(bytes->items() + bytes->count(), bytes->capacity() - bytes->count(), got)) {
            return !input->readFailed();
        }
        bytes->setCount(bytes->count() + got);
    }
}

bool PathWin::writeAllBytes(const ArrayU08* bytes, bool append) {
    Held<FileOutputStream> output(openOutputStream(append));
    if (!output) {
        return false;
    }
    const uint32_t count = bytes != nullptr ? bytes->count() : 0;
    // The stream is also an input stream: name the output view, or the read overload wins.
    io::IOutputStream* sink = output.get();
    bool ok = count == 0 || io::transferAll(sink, bytes->items(), count);
    ok = output->flush() && ok;
    return ok;
}

bool PathWin::writeText(const wchar_t* text, bool append) {
    Held<StrBuffer> content(StrBuffer::fromText(text));
    Held<ArrayU08> bytes(content ? content->toUtf8Unterminated(nullptr, false) : nullptr);
    return bytes && writeAllBytes(bytes.get(), append);
}

bool PathWin::replaceAllBytes(const ArrayU08* bytes) {
    if (!valid_ || stream_ || isWholeVolume() || !ensureParentFolder()) {
        return false;
    }
    const DWORD old = GetFileAttributesW(getApiText());
    if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    // Beside the target, so the move stays on its volume and is one step.
    PathWin* temp = nullptr;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
        if (temp != nullptr) {
            temp->release();
        }
        const uint32_t tag = randomNumber();
        Held<StrBuffer> name(StrBuffer::fromText(full_->c_str()));
        if (!name) {
            return false;
        }
        name->append(L".")->appendHex(&tag, 1)->append(L".tmp");
        temp = create(name->c_str());
        if (temp == nullptr) {
            return false;
        }
        h = CreateFileW(temp->getApiText(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    bool ok = h != INVALID_HANDLE_VALUE;
    const uint8_t* at = bytes != nullptr ? bytes->items() : nullptr;
    for (uint32_t left = bytes != nullptr ? bytes->count() : 0; ok && left != 0;) {
        DWORD written = 0;
        const DWORD n = left < 1048576u ? left : 1048576u;
        ok = WriteFile(h, at, n, &written, nullptr) && written == n;
        at += n;
        left -= n;
    }
    if (h != INVALID_HANDLE_VALUE) {
        ok = FlushFileBuffers(h) && ok;
        CloseHandle(h);
    }
    // ReplaceFileW keeps the old file's attributes and works while others read it; a
    // file that is not there (any more) is simply moved into place. A reader that
    // does not share deleting holds the old file a moment: try again briefly.
    bool replaced = false;
    for (int attempt = 0; ok && !replaced && attempt < 10; ++attempt) {
        if (attempt != 0) {
            Sleep(20);
        }
        replaced = GetFileAttributesW(getApiText()) != INVALID_FILE_ATTRIBUTES
                       ? ReplaceFileW(getApiText(), temp->getApiText(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                      nullptr, nullptr) != FALSE
                       : MoveFileExW(temp->getApiText(), getApiText(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    ok = ok && replaced;
    if (!ok && temp != nullptr) {
        DeleteFileW(temp->getApiText());
    }
    if (temp != nullptr) {
        temp->release();
    }
    attributesLoaded_ = false;
    statLoaded_ = false;
    return ok;
}

bool PathWin::wipeOpenFile(const uint8_t* buffer, uint32_t bufferSize) {
    HANDLE h = CreateFileW(getApiText(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    static const uint8_t zeros[65536] = {};
    const uint8_t* pattern = buffer != nullptr && bufferSize != 0 ? buffer : zeros;
    const uint32_t chunk = buffer != nullptr && bufferSize != 0 ? bufferSize : sizeof(zeros);
    for (int64_t left = ok ? size.QuadPart : 0; ok && left > 0;) {
        const DWORD n = left < chunk ? static_cast<DWORD>(left) : chunk;
        DWORD written = 0;
        ok = WriteFile(h, pattern, n, &written, nullptr) && written == n;
        left -= n;
    }
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    return ok;
}

bool PathWin::WipeFileContents(bool ignored, bool restoreAttributes, uint8_t* buffer, uint32_t bufferSize) {
    if (!valid_ || full_->length() <= 3 || isWholeVolume() || !exists()) {
        return false;
    }
    const DWORD saved = GetFileAttributesW(getApiText());
    const bool folder = (saved & FILE_ATTRIBUTE_DIRECTORY) != 0;
    statLoaded_ = false;
    if (!folder && getSize(false, true, nullptr, nullptr, true) <= 0) {
        return true;
    }
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    bool ok = true;
    // A linked folder's entries live elsewhere: they are not this path's to wipe.
    if (folder && (saved & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
            Held<PathWin> child(createJoined(getText(), entry.cFileName));
            if (child && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                ok = child->WipeFileContents(ignored, restoreAttributes, buffer, bufferSize) && ok;
            }
            return true;
        });
    }
    if (!stream_ && isNtfs()) {
        Held<ArrayP> streams(listStreams(nullptr));
        for (uint32_t i = 0; streams && i < streams->count(); ++i) {
            ok = static_cast<PathWin*>(streams->get(i))->WipeFileContents(ignored, false, buffer, bufferSize) && ok;
        }
    }
    // Sparse, compressed and encrypted files do not take their bytes in place.
    const DWORD unwipeable = FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED;
    if (!folder) {
        ok = ok && (saved & unwipeable) == 0 && wipeOpenFile(buffer, bufferSize);
    }
    if (restoreAttributes) {
        SetFileAttributesW(getApiText(), settable(saved));
    }
    return ok;
}

} // namespace s::file::win
