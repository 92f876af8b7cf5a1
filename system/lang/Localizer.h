#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/lang/LangPack.h"

namespace s::gui::events { class IEventListener; }
namespace s::xml { class Node; class TextTree; }

namespace s::lang {

class IResourceText;

// The language pack: every language of the document, one of them current. Texts
// are answered by number from the current language; listeners are told (code 0)
// when the current language changes.
//
//   Localizer* texts = Localizer::create(archive, L"IDR_XML", 130);
//   label->setText(texts->getText(1001));
class Localizer : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Localizer, 1000, L"s_lang_Localizer")
public:
    typedef gui::events::IEventListener IEventListener;

    ~Localizer() override;
    Localizer(const Localizer&) = delete;
    Localizer& operator=(const Localizer&) = delete;

    // Packs given back, no current pack, no listeners.
    void reset() override;

    // A Localizer from the pool loaded from the XML resource (a module's resources,
    // such as a resource archive), in the user's interface language (else English,
    // else the first language).
    static Localizer* create(IResourceText* resources, const wchar_t* type, uint32_t id);

    // Adds the languages of the document ("languages") and their texts ("entries").
    // A language without a text of an entry gets the entry's first text.
    void load(const xml::Node* root);
    // The same from a document read as a TextTree (no element tree to build and free).
    void load(const xml::TextTree& document);

    // The current language's text of the number; "" when it has none. Valid while
    // the Localizer lives.
    const wchar_t* getText(int32_t id);
    bool hasText(int32_t id);
    // The pack of the English name, else English, else the first pack; listeners
    // are told when that changes the current pack.
    void setLanguage(const wchar_t* engName);
    void setLanguageIndex(uint32_t index);
    // The pack of a language name: its own, else the regional pack of Chinese,
    // Portuguese or Serbian names; null when there is none.
    LangPack* findLanguage(const wchar_t* name) const;

    LangPack* current() const { return current_; }
    uint32_t packCount() const { return packs_.count(); }
    LangPack* packAt(uint32_t index) const;
    // Pack `index`'s text of textId into text ("" when it lacks one); false once index
    // is past the last pack. Shaped for the running-copy search, which looks for the
    // other copy's window under its title in every language (context: the Localizer).
    static bool packText(void* localizer, uint32_t index, uint32_t textId, str::strbuffer::StrBuffer* text);

    // Listeners are not owned and are told in the order they were added.
    col::_array::ArrayP& listeners() { return listeners_; }
    bool addListener(IEventListener* listener);
    void removeListener(IEventListener* listener);

    // The English name of the user's interface language ("German",
    // "Chinese_simplified"), found once per process.
    static const wchar_t* uiLanguageName();
    // The same name for any Windows language identifier, into out (replaced).
    static void languageNameOfLangId(uint16_t langId, str::strbuffer::StrBuffer* out);
    // Replaces the interface language's name (tests); null goes back to the system's.
    static void injectUiLanguageName(const wchar_t* name);

private:
    Localizer();

    void chooseFirst();
    void changeTo(LangPack* pack);
    // Element: xml::Node or xml::TextTree::Element, which answer the same lookups.
    template <class Element> void loadRoot(const Element* root);
    template <class Element> void loadLanguages(const Element* languages);
    template <class Element> void loadEntries(const Element* entries);
    // The pack whose tag names the element. The pack at *next is tried first; *next is
    // then set past the pack found.
    template <class Element> LangPack* packOfTag(const Element* element, uint32_t* next) const;

    col::_array::ArrayP packs_;
    LangPack* current_;
    col::_array::ArrayP listeners_;
};

} // namespace s::lang
