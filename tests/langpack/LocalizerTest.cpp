#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "images/archive/dll/win/Archive.h"
#include "system/gui/events/IEventListener.h"
#include "system/lang/Localizer.h"
#include "system/system/win/OsFacts.h"
#include "system/xml/Node.h"
#include "system/xml/TextTree.h"

using s::archive::dll::win::Archive;
using s::lang::LangPack;
using s::lang::Localizer;
using s::str::strbuffer::StrBuffer;
using s::system::win::OsFacts;
using s::xml::Node;

namespace {

std::wstring ownPath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), n);
}

// The languages of the shipped document, in document order.
const wchar_t* const SHIPPED[][2] = {
    {L"eng", L"English"},    {L"ara", L"Arabic"},    {L"ind", L"Indonesian"},          {L"bel", L"Belarusian"},
    {L"bul", L"Bulgarian"},  {L"hrv", L"Croatian"},  {L"cze", L"Czech"},               {L"zhs", L"Chinese_Simplified"},
    {L"zht", L"Chinese_Traditional"}, {L"dan", L"Danish"}, {L"nld", L"Dutch"},        {L"est", L"Estonian"},
    {L"fin", L"Finnish"},    {L"deu", L"German"},    {L"ell", L"Greek"},               {L"spa", L"Spanish"},
    {L"fra", L"French"},     {L"ita", L"Italian"},   {L"jpn", L"Japanese"},            {L"kor", L"Korean"},
    {L"hun", L"Hungarian"},  {L"nor", L"Norwegian"}, {L"per", L"Persian"},             {L"pol", L"Polish"},
    {L"por", L"Portuguese"}, {L"bra", L"Portuguese_Brazilian"}, {L"rom", L"Romanian"}, {L"rus", L"Russian"},
    {L"cpn", L"Serbian_Cyrillic"}, {L"slk", L"Slovak"}, {L"swe", L"Swedish"},         {L"tha", L"Thai"},
    {L"tur", L"Turkish"},    {L"ukr", L"Ukrainian"}, {L"vie", L"Vietnamese"},          {L"srp", L"Serbian_Latin"},
    {L"vec", L"Venetian"},
};

// A Localizer over a document given as text.
Localizer* fromText(const wchar_t* document) {
    Node* root = Node::pool();
    root->parse(document);
    Localizer* localizer = Localizer::pool();
    localizer->load(root);
    root->release();
    return localizer;
}

class CountingListener : public s::gui::events::IEventListener {
public:
    void onEvent(s::base::IObject* source, int32_t code) override {
        ++calls;
        lastSource = source;
        lastCode = code;
    }
    int calls = 0;
    s::base::IObject* lastSource = nullptr;
    int32_t lastCode = -1;
};

// Injected interface language for one test.
class UiLanguage {
public:
    explicit UiLanguage(const wchar_t* name) { Localizer::injectUiLanguageName(name); }
    ~UiLanguage() { Localizer::injectUiLanguageName(nullptr); }
};

const wchar_t* const SMALL_DOC =
    L"<lang><languages>"
    L"<entry tagName=\"eng\" engName=\"English\" trueName=\"English\"/>"
    L"<entry tagName=\"deu\" engName=\"German\" trueName=\"Deutsch\"/>"
    L"<entry tagName=\"fra\" engName=\"French\" trueName=\"Fran\u00E7ais\"/>"
    L"<entry tagName=\"vec\" engName=\"Venetian\" trueName=\"V\u00E8neto\"/>"
    L"<comment tagName=\"xxx\" engName=\"Ignored\"/>"
    L"</languages><entries>"
    L"<entry id=\"10\">Description is ignored<eng>Open</eng><deu>\u00D6ffnen</deu></entry>"
    L"<entry id=\"title\"><eng>Title</eng><fra>Titre</fra></entry>"
    L"<entry id=\"20\"><deu>Nur deutsch</deu><xyz>unknown tag</xyz></entry>"
    L"<entry id=\"30\"><eng>a &amp; b</eng><vec>\u019Aeto \u019A</vec></entry>"
    L"<entry id=\"menu\"><eng>Menu</eng></entry>"
    L"<entry id=\"40\"><eng></eng><fra>Seulement</fra></entry>"
    L"<note id=\"50\"><eng>not an entry</eng></note>"
    L"</entries></lang>";

} // namespace

TEST(Localizer, ShippedPackLoadsEveryLanguageAndEntry) {
    UiLanguage ui(L"English");
    Archive* archive = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(archive, nullptr);
    Localizer* localizer = Localizer::create(archive, L"IDR_XML", 130);
    ASSERT_NE(localizer, nullptr);
    ASSERT_EQ(localizer->packCount(), sizeof(SHIPPED) / sizeof(SHIPPED[0]));
    for (uint32_t i = 0; i < localizer->packCount(); ++i) {
        EXPECT_STREQ(localizer->packAt(i)->tagName(), SHIPPED[i][0]);
        EXPECT_STREQ(localizer->packAt(i)->engName(), SHIPPED[i][1]);
        EXPECT_NE(localizer->packAt(i)->trueName()[0], 0) << i;
    }
    ASSERT_NE(localizer->current(), nullptr);
    EXPECT_STREQ(localizer->current()->engName(), L"English");

    // Every numbered entry of the document is a text of every language, ids and
    // texts side by side.
    Node* root = archive->readXml(L"IDR_XML", 130);
    ASSERT_NE(root, nullptr);
    const Node* entries = root->child(L"entries");
    ASSERT_NE(entries, nullptr);
    StrBuffer* id = StrBuffer::pool();
    uint32_t numbered = 0;
    for (uint32_t e = 0; e < entries->childCount(); ++e) {
        entries->childAt(e)->getString(id, L"id", L"", false);
        if (id->length() != 0 && id->charAt(0) >= L'0' && id->charAt(0) <= L'9') {
            ++numbered;
            for (uint32_t p = 0; p < localizer->packCount(); ++p) {
                EXPECT_TRUE(localizer->packAt(p)->hasId(id->toInt())) << id->c_str();
            }
        }
    }
    id->release();
    EXPECT_GT(numbered, 100u);
    for (uint32_t p = 0; p < localizer->packCount(); ++p) {
        EXPECT_GE(localizer->packAt(p)->textCount(), numbered);
    }
    root->release();
    localizer->release();
    archive->release();
}

TEST(Localizer, EveryLanguageHasTheTextsEnglishHas) {
    Archive* archive = Archive::openModuleArchive(ownPath().c_str());
    Node* root = archive->readXml(L"IDR_XML", 130);
    archive->release();
    ASSERT_NE(root, nullptr);
    const Node* languages = root->child(L"languages");
    const Node* entries = root->child(L"entries");
    ASSERT_TRUE(languages != nullptr && entries != nullptr);
    StrBuffer* id = StrBuffer::pool();
    StrBuffer* text = StrBuffer::pool();
    std::wstring withoutEnglish;
    for (uint32_t e = 0; e < entries->childCount(); ++e) {
        const Node* entry = entries->childAt(e);
        entry->getString(id, L"id", L"", false);
        const Node* english = entry->child(L"eng");
        if (english != nullptr) {
            english->getString(text, L"", L"", false);
        }
        if (english == nullptr || text->length() == 0) {
            withoutEnglish += std::wstring(withoutEnglish.empty() ? L"" : L", ") + id->c_str();
            continue;
        }
        for (uint32_t l = 0; l < languages->childCount(); ++l) {
            StrBuffer* tag = languages->childAt(l)->getString(nullptr, L"tagName", L"", false);
            EXPECT_NE(entry->child(tag->c_str()), nullptr) << "language " << tag->c_str() << " lacks id " << id->c_str();
            tag->release();
        }
    }
    // Ids without English text (shown as empty texts) are listed, not failed.
    std::printf("ids without English text: %ls\n", withoutEnglish.empty() ? L"(none)" : withoutEnglish.c_str());
    id->release();
    text->release();
    root->release();
}

TEST(Localizer, MissingTextsFallBackToTheEntrysFirstText) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    ASSERT_EQ(l->packCount(), 4u);
    const LangPack* eng = l->findLanguage(L"English");
    const LangPack* deu = l->findLanguage(L"german");
    const LangPack* fra = l->findLanguage(L"FRENCH");
    ASSERT_TRUE(eng && deu && fra);
    EXPECT_STREQ(eng->textOf(10), L"Open");
    EXPECT_STREQ(deu->textOf(10), L"\u00D6ffnen");
    EXPECT_STREQ(fra->textOf(10), L"Open");
    // The first text is German here, and the unknown tag gives nobody a text.
    EXPECT_STREQ(eng->textOf(20), L"Nur deutsch");
    EXPECT_STREQ(fra->textOf(20), L"Nur deutsch");
    EXPECT_STREQ(eng->textOf(30), L"a & b");
    // An empty English text stays empty; French has its own.
    EXPECT_STREQ(eng->textOf(40), L"");
    EXPECT_STREQ(fra->textOf(40), L"Seulement");
    EXPECT_EQ(eng->textOf(50), nullptr);

    EXPECT_STREQ(l->getText(10), L"Open");
    EXPECT_STREQ(l->getText(999), L"");
    EXPECT_TRUE(l->hasText(10));
    EXPECT_FALSE(l->hasText(40));
    EXPECT_FALSE(l->hasText(999));
    l->release();

    Localizer* empty = fromText(L"<lang><entries/></lang>");
    EXPECT_EQ(empty->packCount(), 0u);
    EXPECT_STREQ(empty->getText(10), L"");
    empty->setLanguage(L"English");
    EXPECT_EQ(empty->current(), nullptr);
    empty->release();
}

TEST(Localizer, PackTextsWalkEveryLanguageForTheRunningCopySearch) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    StrBuffer* text = StrBuffer::pool();
    std::vector<std::wstring> seen;
    for (uint32_t i = 0; Localizer::packText(l, i, 10, text); ++i) {
        seen.push_back(text->c_str());
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"Open", L"\u00D6ffnen", L"Open", L"Open"}));
    // A number no pack has still gives one (empty) title per pack.
    uint32_t packs = 0;
    while (Localizer::packText(l, packs, 999, text)) {
        EXPECT_STREQ(text->c_str(), L"");
        ++packs;
    }
    EXPECT_EQ(packs, l->packCount());
    text->release();
    l->release();
}

TEST(Localizer, NamedKeysStayOutOfTheNumberedTexts) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    for (uint32_t p = 0; p < l->packCount(); ++p) {
        const LangPack* pack = l->packAt(p);
        ASSERT_EQ(pack->textCount(), 4u) << pack->tagName();
        for (uint32_t i = 0; i < pack->textCount(); ++i) {
            EXPECT_STREQ(pack->textOf(pack->idAt(i)), pack->textAt(i));
        }
        EXPECT_EQ(pack->idAt(0), 10);
        EXPECT_EQ(pack->idAt(1), 20);
        ASSERT_EQ(pack->keys()->count(), 2u);
        EXPECT_STREQ(pack->keys()->get(0)->c_str(), L"title");
        EXPECT_STREQ(pack->keys()->get(1)->c_str(), L"menu");
        EXPECT_STREQ(pack->namedText(L"menu"), L"Menu");
        EXPECT_EQ(pack->namedText(L"MENU"), nullptr);
    }
    EXPECT_STREQ(l->findLanguage(L"French")->namedText(L"title"), L"Titre");
    EXPECT_STREQ(l->findLanguage(L"German")->namedText(L"title"), L"Title");
    l->release();
}

TEST(Localizer, RegionalNamesFindTheirPacks) {
    UiLanguage ui(L"English");
    Archive* archive = Archive::openModuleArchive(ownPath().c_str());
    Localizer* l = Localizer::create(archive, L"IDR_XML", 130);
    archive->release();
    struct Case {
        const wchar_t* name;
        const wchar_t* pack;
    } cases[] = {
        {L"Chinese_simplified", L"Chinese_Simplified"}, {L"Chinese", L"Chinese_Simplified"},
        {L"CHINESE_TRADITIONAL", L"Chinese_Traditional"}, {L"Chinese_Hongkong", L"Chinese_Simplified"},
        {L"Portuguese", L"Portuguese"},                 {L"Portuguese_brazilian", L"Portuguese_Brazilian"},
        {L"Portuguese_Angola", L"Portuguese_Brazilian"}, {L"Portuguese_portugal", L"Portuguese"},
        {L"Serbian", L"Serbian_Cyrillic"},              {L"Serbian_latin", L"Serbian_Latin"},
        {L"venetian", L"Venetian"},
    };
    for (const Case& c : cases) {
        const LangPack* pack = l->findLanguage(c.name);
        ASSERT_NE(pack, nullptr) << c.name;
        EXPECT_STREQ(pack->engName(), c.pack) << c.name;
    }
    EXPECT_EQ(l->findLanguage(L"Klingon"), nullptr);
    EXPECT_EQ(l->findLanguage(L"Unknown"), nullptr);
    l->release();

    // Without the preferred regional pack the other one serves.
    Localizer* small = fromText(
        L"<lang><languages><entry tagName=\"zht\" engName=\"Chinese_Traditional\"/>"
        L"<entry tagName=\"bra\" engName=\"Portuguese_Brazilian\"/>"
        L"<entry tagName=\"srp\" engName=\"Serbian_Latin\"/></languages></lang>");
    EXPECT_STREQ(small->findLanguage(L"Chinese")->engName(), L"Chinese_Traditional");
    EXPECT_STREQ(small->findLanguage(L"Portuguese_Portugal")->engName(), L"Portuguese_Brazilian");
    EXPECT_STREQ(small->findLanguage(L"Serbian")->engName(), L"Serbian_Latin");
    small->release();
}

TEST(Localizer, InterfaceLanguagesOfTheShippedLanguagesFindTheirPacks) {
    UiLanguage ui(L"English");
    Archive* archive = Archive::openModuleArchive(ownPath().c_str());
    Localizer* l = Localizer::create(archive, L"IDR_XML", 130);
    archive->release();
    struct Case {
        uint16_t langId;
        const wchar_t* pack;
    } cases[] = {
        {0x0409, L"English"},    {0x0401, L"Arabic"},     {0x0421, L"Indonesian"},  {0x0423, L"Belarusian"},
        {0x0402, L"Bulgarian"},  {0x041A, L"Croatian"},   {0x0405, L"Czech"},       {0x0804, L"Chinese_Simplified"},
        {0x0404, L"Chinese_Traditional"}, {0x0406, L"Danish"}, {0x0413, L"Dutch"},   {0x0425, L"Estonian"},
        {0x040B, L"Finnish"},    {0x0407, L"German"},     {0x0408, L"Greek"},       {0x0C0A, L"Spanish"},
        {0x040C, L"French"},     {0x0410, L"Italian"},    {0x0411, L"Japanese"},    {0x0412, L"Korean"},
        {0x040E, L"Hungarian"},  {0x0414, L"Norwegian"},  {0x0429, L"Persian"},     {0x0415, L"Polish"},
        {0x0816, L"Portuguese"}, {0x0416, L"Portuguese_Brazilian"}, {0x0418, L"Romanian"}, {0x0419, L"Russian"},
        {0x0C1A, L"Serbian_Cyrillic"}, {0x041B, L"Slovak"}, {0x041D, L"Swedish"},   {0x041E, L"Thai"},
        {0x041F, L"Turkish"},    {0x0422, L"Ukrainian"},  {0x042A, L"Vietnamese"},  {0x081A, L"Serbian_Latin"},
        {0x7C1A, L"Serbian_Cyrillic"}, {0x0016, L"Portuguese"},
    };
    StrBuffer* name = StrBuffer::pool();
    for (const Case& c : cases) {
        Localizer::languageNameOfLangId(c.langId, name);
        const LangPack* pack = l->findLanguage(name->c_str());
        ASSERT_NE(pack, nullptr) << std::hex << c.langId << " " << name->c_str();
        EXPECT_STREQ(pack->engName(), c.pack) << std::hex << c.langId;
    }
    Localizer::languageNameOfLangId(0x0804, name);
    EXPECT_STREQ(name->c_str(), L"Chinese_simplified");
    Localizer::languageNameOfLangId(0x0C2E, name);
    EXPECT_STREQ(name->c_str(), L"Unknown");
    name->release();
    l->release();
}

TEST(Localizer, ChoosingLanguagesTellsListenersOnlyOfChanges) {
    Localizer* l;
    {
        // The interface language decides the first choice, silently.
        UiLanguage ui(L"German");
        l = fromText(SMALL_DOC);
        CountingListener early;
        l->addListener(&early);
        EXPECT_STREQ(l->getText(10), L"\u00D6ffnen");
        EXPECT_EQ(early.calls, 0);
        l->removeListener(&early);
    }
    CountingListener a, b;
    l->addListener(&a);
    l->addListener(&b);
    l->setLanguage(L"german");
    EXPECT_EQ(a.calls, 0);
    l->setLanguage(L"French");
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 1);
    EXPECT_EQ(a.lastSource, static_cast<s::base::IObject*>(l));
    EXPECT_EQ(a.lastCode, 0);
    // An unknown name goes to English, and English again changes nothing.
    l->setLanguage(L"Klingon");
    EXPECT_EQ(a.calls, 2);
    EXPECT_STREQ(l->current()->engName(), L"English");
    l->setLanguage(L"Klingon");
    l->setLanguage(L"ENGLISH");
    EXPECT_EQ(a.calls, 2);
    l->setLanguageIndex(0);
    EXPECT_EQ(a.calls, 2);
    l->setLanguageIndex(99);
    EXPECT_EQ(a.calls, 2);
    l->removeListener(&a);
    l->setLanguageIndex(3);
    EXPECT_EQ(a.calls, 2);
    EXPECT_EQ(b.calls, 3);
    EXPECT_STREQ(l->current()->engName(), L"Venetian");
    l->release();

    // Without English the first pack serves an unknown interface language.
    UiLanguage ui(L"Unknown");
    Localizer* noEnglish = fromText(
        L"<lang><languages><entry tagName=\"deu\" engName=\"German\"/><entry tagName=\"fra\" engName=\"French\"/>"
        L"</languages></lang>");
    noEnglish->setLanguage(L"Klingon");
    EXPECT_STREQ(noEnglish->current()->engName(), L"German");
    noEnglish->release();
}

TEST(Localizer, VenetianTextsGetTheReplacementLetterBeforeVista) {
    UiLanguage ui(L"Venetian");
    const OsFacts::Facts xp = OsFacts::derive(5, 1, 2600, true, false);
    OsFacts::inject(&xp);
    Localizer* old = fromText(SMALL_DOC);
    OsFacts::inject(nullptr);
    EXPECT_STREQ(old->findLanguage(L"Venetian")->textOf(30), L"\u0142eto \u0142");
    // Only the Venetian pack changes: the others keep the document's text.
    EXPECT_STREQ(old->findLanguage(L"English")->textOf(30), L"a & b");
    EXPECT_STREQ(old->getText(30), L"\u0142eto \u0142");
    old->release();

    const OsFacts::Facts seven = OsFacts::derive(6, 1, 7601, true, false);
    OsFacts::inject(&seven);
    Localizer* now = fromText(SMALL_DOC);
    OsFacts::inject(nullptr);
    EXPECT_STREQ(now->findLanguage(L"Venetian")->textOf(30), L"\u019Aeto \u019A");
    now->release();
}

TEST(Localizer, PooledLocalizerComesBackEmpty) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    CountingListener listener;
    l->addListener(&listener);
    l->getText(10);
    l->release();
    Localizer* again = Localizer::pool();
    EXPECT_EQ(again->packCount(), 0u);
    EXPECT_EQ(again->current(), nullptr);
    EXPECT_EQ(again->listeners().count(), 0u);
    again->release();
}

namespace {

// Takes itself off the list when told, as a closing window does.
class LeavingListener : public CountingListener {
public:
    explicit LeavingListener(Localizer* localizer) : localizer_(localizer) {}
    void onEvent(s::base::IObject* source, int32_t code) override {
        CountingListener::onEvent(source, code);
        localizer_->removeListener(this);
    }

private:
    Localizer* localizer_;
};

} // namespace

TEST(Localizer, ListenerThatLeavesWhenToldDoesNotHideTheNextOne) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    l->getText(10);
    LeavingListener leaving(l);
    CountingListener next, last;
    l->addListener(&leaving);
    l->addListener(&next);
    l->addListener(&last);
    l->setLanguage(L"German");
    EXPECT_EQ(leaving.calls, 1);
    EXPECT_EQ(next.calls, 1);
    EXPECT_EQ(last.calls, 1);
    EXPECT_EQ(l->listeners().count(), 2u);
    l->release();
}

namespace {

// A dialog that, when told, closes and takes the given listeners off the list with it.
class ClosingListener : public CountingListener {
public:
    ClosingListener(Localizer* localizer, std::vector<s::gui::events::IEventListener*> children)
        : localizer_(localizer), children_(std::move(children)) {}
    void onEvent(s::base::IObject* source, int32_t code) override {
        CountingListener::onEvent(source, code);
        for (auto* child : children_) {
            localizer_->removeListener(child);
        }
        localizer_->removeListener(this);
    }

private:
    Localizer* localizer_;
    std::vector<s::gui::events::IEventListener*> children_;
};

} // namespace

TEST(Localizer, ListenersRemovedByAnotherAreToldOnceOrNotAtAll) {
    UiLanguage ui(L"English");
    Localizer* l = fromText(SMALL_DOC);
    l->getText(10);
    // a, b, c, d in that order; c removes a and b (told already) and d (not yet).
    CountingListener a, b, d, e;
    ClosingListener c(l, {&a, &b, &d});
    for (s::gui::events::IEventListener* listener :
         std::vector<s::gui::events::IEventListener*>{&a, &b, &c, &d, &e}) {
        l->addListener(listener);
    }
    l->setLanguage(L"German");
    EXPECT_EQ(1, a.calls);
    EXPECT_EQ(1, b.calls);
    EXPECT_EQ(1, c.calls);
    EXPECT_EQ(0, d.calls);  // removed before its turn
    EXPECT_EQ(1, e.calls);  // still there: told, once
    EXPECT_EQ(1u, l->listeners().count());

    // The one left hears the next change once more.
    l->setLanguage(L"French");
    EXPECT_EQ(2, e.calls);
    l->release();
}

namespace {

// Every pack's names, numbered texts and named texts, in order.
std::wstring dump(const Localizer* l) {
    std::wstring out;
    for (uint32_t p = 0; p < l->packCount(); ++p) {
        const LangPack* pack = l->packAt(p);
        out += std::wstring(L"[") + pack->tagName() + L"|" + pack->engName() + L"|" + pack->trueName() + L"]\n";
        for (uint32_t i = 0; i < pack->textCount(); ++i) {
            out += std::to_wstring(pack->idAt(i)) + L"=" + pack->textAt(i) + L"\n";
        }
        for (uint32_t k = 0; k < pack->keys()->count(); ++k) {
            const wchar_t* key = pack->keys()->get(k)->c_str();
            out += std::wstring(key) + L":" + pack->namedText(key) + L"\n";
        }
    }
    return out;
}

Localizer* fromTextTree(const wchar_t* document) {
    s::xml::TextTree tree;
    EXPECT_TRUE(tree.read(document, static_cast<uint32_t>(wcslen(document))));
    Localizer* localizer = Localizer::pool();
    localizer->load(tree);
    return localizer;
}

} // namespace

// The pack read straight from the text holds what the pack read through nodes holds.
TEST(Localizer, TextReadPackEqualsTheNodeReadOne) {
    UiLanguage ui(L"English");
    Archive* archive = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(archive, nullptr);
    Localizer* direct = Localizer::create(archive, L"IDR_XML", 130);
    Node* root = archive->readXml(L"IDR_XML", 130);
    Localizer* viaNodes = Localizer::pool();
    viaNodes->load(root);
    root->release();
    const std::wstring shipped = dump(direct);
    EXPECT_GT(shipped.size(), 100000u);
    EXPECT_TRUE(shipped == dump(viaNodes));
    direct->release();
    viaNodes->release();
    // A missing resource gives an empty pack, as before.
    Localizer* missing = Localizer::create(archive, L"IDR_XML", 999);
    EXPECT_EQ(missing->packCount(), 0u);
    missing->release();
    archive->release();

    const wchar_t* const docs[] = {
        SMALL_DOC,
        // Comments among languages and translations, blanks and escapes in texts,
        // an entry with no texts and one whose tags differ in case.
        L"<LANG><!-- x --><Languages><entry tagName=\"eng\" engName=\"English\"/><!-- y -->"
        L"<entry tagName=\"d&amp;e\" engName=\"D&quot;E\" trueName=\"a&#10;b\"/></Languages>"
        L"<entries><entry id=\"1\"><!-- z --><ENG>  x &lt;&#160;</ENG>\n<d&amp;e>y</d&amp;e></entry>"
        L"<entry id=\"2\"/><entry id=\"k\"> <eng/><eng>second</eng></entry>"
        L"<entry id=\"3\"><deu>only</deu></entry></entries></LANG>",
    };
    for (const wchar_t* doc : docs) {
        Localizer* a = fromText(doc);
        Localizer* b = fromTextTree(doc);
        EXPECT_TRUE(dump(a) == dump(b)) << std::wstring(doc).substr(0, 60);
        EXPECT_GT(b->packCount(), 0u);
        a->release();
        b->release();
    }
}
