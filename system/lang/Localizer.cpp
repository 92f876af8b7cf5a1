#include "system/lang/Localizer.h"

#include <windows.h>

#include <cwchar>
#include <initializer_list>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ObjLocker.h"
#include "system/gui/events/IEventListener.h"
#include "system/lang/IResourceText.h"
#include "system/lang/LanguageCodes.h"
#include "system/xml/Node.h"
#include "system/xml/TextTree.h"

namespace s::lang {

using str::strbuffer::StrBuffer;

namespace {

bool equalNoCase(const wchar_t* a, const wchar_t* b) {
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

bool startsWithNoCase(const wchar_t* text, const wchar_t* prefix) {
    const int n = static_cast<int>(std::wcslen(prefix));
    return static_cast<int>(std::wcslen(text)) >= n &&
           CompareStringOrdinal(text, n, prefix, n, TRUE) == CSTR_EQUAL;
}

// The interface language's name: found once, or put in place by a test.
class UiLanguage {
public:
    static UiLanguage& instance() {
        static UiLanguage* const one = new UiLanguage();
        return *one;
    }

    const wchar_t* name() {
        thread::ObjLocker::Guard guard(lock_);
        if (!known_) {
            StrBuffer* found = StrBuffer::pool();
            if (found != nullptr) {
                Localizer::languageNameOfLangId(GetUserDefaultUILanguage(), found);
                copy(found->c_str());
                found->release();
            }
            known_ = true;
        }
        return text_;
    }

    void inject(const wchar_t* name) {
        thread::ObjLocker::Guard guard(lock_);
        known_ = name != nullptr;
        copy(name != nullptr ? name : L"");
    }

private:
    UiLanguage() : known_(false) { text_[0] = 0; }

    void copy(const wchar_t* name) {
        wcsncpy(text_, name, MAX_UNITS - 1);
        text_[MAX_UNITS - 1] = 0;
    }

    // Longer than every name of the table.
    static constexpr size_t MAX_UNITS = 64;
    thread::ObjLocker lock_;
    bool known_;
    wchar_t text_[MAX_UNITS];
};

} // namespace

Localizer::Localizer() : current_(nullptr) {
    packs_.setCleaner(&LangPack::pooler());
}

Localizer::~Localizer() {
    reset();
}

void Localizer::reset() {
    current_ = nullptr;
    packs_.setCleaner(&LangPack::pooler());
    packs_.clear();
    listeners_.clear();
}

Localizer* Localizer::create(IResourceText* resources, const wchar_t* type, uint32_t id) {
    Localizer* localizer = pool();
    if (localizer == nullptr) {
        return nullptr;
    }
    // Read straight from the text: the pack's thousands of elements never become nodes.
    StrBuffer* text = resources != nullptr ? resources->readResource(type, id) : nullptr;
    if (text != nullptr) {
        xml::TextTree document;
        if (document.read(text->c_str(), text->length())) {
            localizer->load(document);
        }
        text->release();
    }
    localizer->setLanguage(uiLanguageName());
    return localizer;
}

LangPack* Localizer::packAt(uint32_t index) const {
    return index < packs_.count() ? static_cast<LangPack*>(packs_.get(index)) : nullptr;
}

bool Localizer::packText(void* localizer, uint32_t index, uint32_t textId, str::strbuffer::StrBuffer* text) {
    const LangPack* pack = static_cast<const Localizer*>(localizer)->packAt(index);
    if (pack == nullptr) {
        return false;
    }
    const wchar_t* found = pack->textOf(static_cast<int32_t>(textId));
    text->assign(found != nullptr ? found : L"");
    return true;
}

template <class Element>
void Localizer::loadRoot(const Element* root) {
    if (root == nullptr) {
        return;
    }
    const Element* languages = root->child(L"languages");
    if (languages != nullptr) {
        loadLanguages(languages);
    }
    const Element* entries = root->child(L"entries");
    if (entries != nullptr) {
        loadEntries(entries);
    }
}

template <class Element>
void Localizer::loadLanguages(const Element* languages) {
    StrBuffer* tag = StrBuffer::pool();
    StrBuffer* eng = StrBuffer::pool();
    StrBuffer* own = StrBuffer::pool();
    for (uint32_t i = 0; tag != nullptr && eng != nullptr && own != nullptr && i < languages->childCount(); ++i) {
        const Element* language = languages->childAt(i);
        if (!language->nameEquals(L"entry")) {
            continue;
        }
        LangPack* pack = LangPack::pool();
        if (pack == nullptr) {
            break;
        }
        language->getString(tag, L"tagName", L"", false);
        language->getString(eng, L"engName", L"", false);
        language->getString(own, L"trueName", L"", false);
        pack->setNames(tag->c_str(), eng->c_str(), own->c_str());
        if (!packs_.add(pack)) {
            pack->release();
            break;
        }
    }
    for (StrBuffer* s : {tag, eng, own}) {
        if (s != nullptr) s->release();
    }
}

template <class Element>
LangPack* Localizer::packOfTag(const Element* element, uint32_t* next) const {
    const uint32_t count = packs_.count();
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t i = (*next + k) % count;
        LangPack* pack = packAt(i);
        if (element->nameEquals(pack->tagName())) {
            *next = i + 1;
            return pack;
        }
    }
    return nullptr;
}

template <class Element>
void Localizer::loadEntries(const Element* entries) {
    StrBuffer* id = StrBuffer::pool();
    StrBuffer* text = StrBuffer::pool();
    StrBuffer* fallback = StrBuffer::pool();
    for (uint32_t e = 0; id != nullptr && text != nullptr && fallback != nullptr && e < entries->childCount(); ++e) {
        const Element* entry = entries->childAt(e);
        if (!entry->nameEquals(L"entry") || entry->childCount() == 0) {
            continue;
        }
        entry->getString(id, L"id", L"", false);
        // Numbers go with the numbered texts; any other id is a named key, kept apart
        // so that ids and texts stay parallel.
        const bool numbered = id->length() != 0 && id->charAt(0) >= L'0' && id->charAt(0) <= L'9';
        const int32_t number = numbered ? id->toInt() : 0;
        // Translations mostly follow the order of the languages: each search starts after
        // the language found last.
        uint32_t next = 0;
        for (uint32_t c = 0; c < entry->childCount(); ++c) {
            const Element* translation = entry->childAt(c);
            translation->getString(text, L"", L"", false);
            if (c == 0) {
                fallback->assign(text);
            }
            LangPack* pack = packOfTag(translation, &next);
            if (pack == nullptr) {
                continue;
            }
            if (numbered) {
                pack->addText(number, text->c_str());
            } else {
                pack->addNamedText(id->c_str(), text->c_str());
            }
        }
        // Languages the entry has no text for show its first text.
        for (uint32_t p = 0; p < packs_.count(); ++p) {
            LangPack* pack = packAt(p);
            if (numbered && !pack->hasId(number)) {
                pack->addText(number, fallback->c_str());
            } else if (!numbered && !pack->hasKey(id->c_str())) {
                pack->addNamedText(id->c_str(), fallback->c_str());
            }
        }
    }
    for (StrBuffer* s : {id, text, fallback}) {
        if (s != nullptr) s->release();
    }
}

void Localizer::load(const xml::Node* root) {
    loadRoot(root);
}

void Localizer::load(const xml::TextTree& document) {
    loadRoot(document.root());
}

LangPack* Localizer::findLanguage(const wchar_t* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    auto find = [this](const wchar_t* engName) -> LangPack* {
        for (uint32_t i = 0; i < packs_.count(); ++i) {
            LangPack* pack = packAt(i);
            if (equalNoCase(pack->engName(), engName)) {
                return pack;
            }
        }
        return nullptr;
    };
    LangPack* pack = find(name);
    if (pack != nullptr) {
        return pack;
    }
    const wchar_t* first = nullptr;
    const wchar_t* second = nullptr;
    if (startsWithNoCase(name, L"Chinese")) {
        first = L"CHINESE_SIMPLIFIED";
        second = L"CHINESE_TRADITIONAL";
    } else if (startsWithNoCase(name, L"Portuguese")) {
        // Portugal's own name goes to the plain Portuguese pack, which is the
        // European one wherever a Brazilian pack sits beside it.
        if (equalNoCase(name, L"PORTUGUESE_PORTUGAL") && (pack = find(L"PORTUGUESE")) != nullptr) {
            return pack;
        }
        first = L"PORTUGUESE_BRAZILIAN";
        second = L"PORTUGUESE_PORTUGAL";
    } else if (startsWithNoCase(name, L"Serbian")) {
        first = L"SERBIAN_CYRILLIC";
        second = L"SERBIAN_LATIN";
    } else {
        return nullptr;
    }
    pack = find(first);
    return pack != nullptr ? pack : find(second);
}

void Localizer::chooseFirst() {
    if (current_ == nullptr) {
        current_ = findLanguage(uiLanguageName());
        if (current_ == nullptr) {
            current_ = packAt(0);
        }
    }
}

void Localizer::changeTo(LangPack* pack) {
    if (pack == nullptr || pack == current_) {
        return;
    }
    current_ = pack;
    // Told from a copy of the list: a listener may remove itself or others (a closing
    // dialog takes its children along). Each one present now is told once, unless it
    // was removed before its turn.
    col::_array::ArrayP* present = col::_array::ArrayP::pool();
    if (present == nullptr) {
        return;
    }
    for (uint32_t i = 0; i < listeners_.count(); ++i) {
        present->add(listeners_.get(i));
    }
    for (uint32_t i = 0; i < present->count(); ++i) {
        void* const listener = present->get(i);
        if (listeners_.indexOf(listener) >= 0) {
            static_cast<IEventListener*>(listener)->onEvent(this, 0);
        }
    }
    present->release();
}

void Localizer::setLanguage(const wchar_t* engName) {
    chooseFirst();
    if (current_ == nullptr || engName == nullptr) {
        return;
    }
    if (equalNoCase(current_->engName(), engName)) {
        return;
    }
    LangPack* pack = findLanguage(engName);
    if (pack == nullptr) {
        pack = findLanguage(L"English");
    }
    if (pack == nullptr) {
        pack = packAt(0);
    }
    changeTo(pack);
}

void Localizer::setLanguageIndex(uint32_t index) {
    changeTo(packAt(index));
}

const wchar_t* Localizer::getText(int32_t id) {
    chooseFirst();
    const wchar_t* text = current_ != nullptr ? current_->textOf(id) : nullptr;
    return text != nullptr ? text : L"";
}

bool Localizer::hasText(int32_t id) {
    return getText(id)[0] != 0;
}

bool Localizer::addListener(IEventListener* listener) {
    return listener != nullptr && listeners_.add(listener);
}

void Localizer::removeListener(IEventListener* listener) {
    const int32_t at = listeners_.indexOf(listener);
    if (at >= 0) {
        listeners_.removeAt(static_cast<uint32_t>(at));
    }
}

void Localizer::languageNameOfLangId(uint16_t langId, StrBuffer* out) {
    if (out == nullptr) {
        return;
    }
    out->assign(LanguageNameOf(languageCodeFromLangId(langId)));
    out->capitalize();
}

const wchar_t* Localizer::uiLanguageName() {
    return UiLanguage::instance().name();
}

void Localizer::injectUiLanguageName(const wchar_t* name) {
    UiLanguage::instance().inject(name);
}

} // namespace s::lang
