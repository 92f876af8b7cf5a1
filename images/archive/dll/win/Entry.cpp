#include "images/archive/dll/win/Entry.h"

namespace s::archive::dll::win {

namespace {

struct KindInfo {
    uint16_t windowsType;
    const wchar_t* exportName;  // null: exported under the kind number
    const wchar_t* extension;
};

// Indexed by kind code.
const KindInfo KINDS[Entry::KIND_COUNT] = {
    {9, L"ACCELERATOR", L".txt"},  {21, L"ANICURSOR", L""},    {22, L"ANIICON", L""},
    {2, L"BITMAP", L".bmp"},       {1, nullptr, L""},          {5, L"DIALOG", L".txt"},
    {17, L"DLGINCLUDE", L""},      {8, L"FONT", L""},          {7, L"FONTDIR", L""},
    {12, L"CURSOR", L".cur"},      {14, L"ICON", L".ico"},     {23, L"HTML", L".html"},
    {3, nullptr, L""},             {24, L"MANIFEST", L".xml"}, {4, L"MENU", L".txt"},
    {11, L"MESSAGETABLE", L""},    {19, L"PLUGPLAY", L""},     {10, L"RCDATA", L""},
    {6, L"STRING", L".txt"},       {16, L"", L".txt"},         {20, L"VXD", L""},
};

void setText(Entry::StrBuffer*& slot, const wchar_t* text) {
    if (slot == nullptr) {
        slot = Entry::StrBuffer::pool();
    }
    if (slot != nullptr) {
        slot->assign(text != nullptr ? text : L"");
    }
}

} // namespace

uint32_t Entry::kindOfWindowsType(uint32_t type) {
    for (uint32_t k = 0; k < KIND_COUNT; ++k) {
        if (KINDS[k].windowsType == type) {
            return k;
        }
    }
    return type < KIND_COUNT ? FOREIGN_KIND + type : type;
}

uint32_t Entry::windowsTypeOfKind(uint32_t kind) {
    if (kind < KIND_COUNT) {
        return KINDS[kind].windowsType;
    }
    return kind >= FOREIGN_KIND && kind < FOREIGN_KIND + KIND_COUNT ? kind - FOREIGN_KIND : kind;
}

const wchar_t* Entry::exportNameOfKind(uint32_t kind, StrBuffer* out) {
    if (kind < KIND_COUNT && KINDS[kind].exportName != nullptr) {
        return KINDS[kind].exportName;
    }
    if (out == nullptr) {
        return L"";
    }
    // The cursor and icon images keep their kind number; other types their own number.
    out->clear();
    out->appendUInt32(kind < KIND_COUNT ? kind : windowsTypeOfKind(kind));
    return out->c_str();
}

const wchar_t* Entry::extensionOfKind(uint32_t kind) {
    return kind < KIND_COUNT ? KINDS[kind].extension : L"";
}

Entry::Entry() : nameText_(nullptr), typeText_(nullptr) {
    reset();
}

Entry::~Entry() {
    if (nameText_ != nullptr) {
        nameText_->release();
    }
    if (typeText_ != nullptr) {
        typeText_->release();
    }
}

void Entry::reset() {
    size_ = 0;
    nameIsId_ = 1;
    nameId_ = 0;
    if (nameText_ != nullptr) {
        nameText_->clear();
    }
    typeIsKind_ = 1;
    kind_ = 0;
    windowsType_ = windowsTypeOfKind(0);
    if (typeText_ != nullptr) {
        typeText_->clear();
    }
    primaryLanguage_ = 0;
    subLanguage_ = 0;
    handle_ = nullptr;
}

void Entry::setNameId(uint32_t id) {
    nameIsId_ = 1;
    nameId_ = id & 0xFFFF;
    if (nameText_ != nullptr) {
        nameText_->clear();
    }
}

void Entry::setNameText(const wchar_t* text) {
    nameIsId_ = 0;
    nameId_ = 0;
    setText(nameText_, text);
}

const wchar_t* Entry::nameText() const {
    return nameIsId_ == 0 && nameText_ != nullptr ? nameText_->c_str() : L"";
}

void Entry::setKind(uint32_t kind) {
    typeIsKind_ = 1;
    kind_ = kind;
    windowsType_ = windowsTypeOfKind(kind);
    if (typeText_ != nullptr) {
        typeText_->clear();
    }
}

void Entry::setWindowsType(uint32_t type) {
    setKind(kindOfWindowsType(type));
    windowsType_ = type;
}

void Entry::setTypeText(const wchar_t* text) {
    typeIsKind_ = 0;
    kind_ = 0;
    windowsType_ = 0;
    setText(typeText_, text);
}

const wchar_t* Entry::typeText() const {
    return typeIsKind_ == 0 && typeText_ != nullptr ? typeText_->c_str() : L"";
}

void Entry::setLanguageId(uint16_t language) {
    primaryLanguage_ = language & 0x3FF;
    subLanguage_ = (language >> 10) & 0x3F;
}

const wchar_t* Entry::typeResource() const {
    return typeIsKind_ != 0 ? MAKEINTRESOURCEW(windowsType_) : typeText();
}

const wchar_t* Entry::nameResource() const {
    return nameIsId_ != 0 ? MAKEINTRESOURCEW(nameId_) : nameText();
}

void Entry::setTypeResource(const wchar_t* type) {
    if (IS_INTRESOURCE(type)) {
        setWindowsType(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(type)));
    } else {
        setTypeText(type);
    }
}

void Entry::setNameResource(const wchar_t* name) {
    if (IS_INTRESOURCE(name)) {
        setNameId(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name)));
    } else {
        setNameText(name);
    }
}

} // namespace s::archive::dll::win
