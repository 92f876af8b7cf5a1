#pragma once
#include <cstdint>

namespace s::gui { class IWindow; }

namespace s::app { class IAppWindow; }

namespace s::app::win {

// The update check of a window record: at most every INTERVAL_HOURS it fetches the
// version page's "check/" reply and, when that names a version other than the running
// one, asks whether to open the software page. The hour of the last check is stored
// under the record's "Version" group as "Update".
class UpdateCheck {
public:
    static constexpr int64_t INTERVAL_HOURS = 720;
    static constexpr int32_t FETCH_LIMIT_MS = 8000;
    // Text ids of the question.
    static constexpr int32_t NEWER_VERSION_TEXT = 400200;
    static constexpr int32_t TITLE_TEXT = 400210;
    static constexpr int32_t QUESTION_TEXT = 400230;
    // The question's window record.
    static constexpr wchar_t ASKER_RECORD[] = L"FlexAskerWindow";
    static constexpr int32_t ASKER_WIDTH = 400;
    static constexpr int32_t ASKER_HEIGHT = 200;

    // Runs the check on the calling thread (the main thread), handling its messages
    // while the page is fetched. owner owns the question (may be null).
    static void run(IAppWindow* record, gui::IWindow* owner);

    // The hours since 1970 of a time in milliseconds since 1970.
    static int64_t hourOf(int64_t millis) { return millis / 1000 / 3600; }
    // Whether a check stored at hour `stored` is due at hour `now`: INTERVAL_HOURS
    // later, or at once when the stored hour lies in the future.
    static bool isDue(int64_t stored, int64_t now);
    // The version text has exactly two digits' room after its first '.'.
    static bool versionTextUsable(const wchar_t* version);
    // A reply announces a newer version: longer than 4 characters, beginning with '*',
    // and not naming the running version anywhere.
    static bool announcesNewer(const wchar_t* reply, const wchar_t* version);

    // Asks the question owned by owner (may be null) and answers whether it was Yes.
    typedef bool (*Question)(IAppWindow* record, gui::IWindow* owner, const wchar_t* title,
                             const wchar_t* question);
    // Replaces how the question is asked (tests); null goes back to askWithConfirmation.
    static Question setQuestion(Question question);
    // The confirmation window with Yes and No and without the "Don't ask me again" box,
    // remembered as "FlexAskerWindow"; blocks until it is answered or closed.
    static bool askWithConfirmation(IAppWindow* record, gui::IWindow* owner, const wchar_t* title,
                                    const wchar_t* question);

    // Replaces the version and software page addresses of the language pack (tests);
    // null goes back to the pack's texts.
    static void setPageAddresses(const wchar_t* versionPage, const wchar_t* softwarePage);
};

} // namespace s::app::win
