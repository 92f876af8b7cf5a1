#pragma once
#include <atomic>
#include <cstdint>

#include "app/gui/dialogs/dragndrop/Dialog.h"
#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"
#include "app/sound/gui/dialogs/mp3conv/PanelLayout.h"
#include "app/video/VideoControls.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/Setting.h"

namespace s::gui::win {
class Box;
class CheckBox;
class GroupBox;
class ComboBox;
class Label;
class TextField;
} // namespace s::gui::win

namespace s::sound::gui::dialogs::mp3conv {

// The converter dialog: the Drop Box with the "Convert to:" list, one option panel per
// output format, the job record the worker converts every file of a batch with, and the
// box that reports a failed file. Its worker task is the conversion job loop.
//
//   Dialog* dialog = Dialog::pool();     // mode 1: the audio formats
//   dialog->bind(record);
//   dialog->runWindow();
//   dialog->release();
//
// Option values live per format under "MainWindow\ConvertTo2\<group>"; each list is
// restored when its panel is built, stored when the user changes it, and read into the
// job record when a batch starts.
class Dialog : public s::gui::dialogs::dragndrop::Dialog, public sound::ffmpeg::IJobDialog {
    S_POOLED_CLASS(Dialog, 1000, L"s_sound_gui_dialogs_mp3conv_Dialog")
public:
    typedef s::gui::win::ComboBox ComboBox;
    typedef s::gui::dialogs::dragndrop::Dialog Base;
    typedef str::strbuffer::StrBuffer StrBuffer;

    static constexpr int32_t FORMAT_SLOTS = 35;
    // Language texts of the failure box.
    enum FailureText : int32_t {
        TEXT_FAILED = 3001000,
        TEXT_INPUT = 3002000,
        TEXT_OUTPUT = 3003000,
        TEXT_ERROR = 3004000,
        TEXT_SORRY = 3006000,
        TEXT_CONTACT = 3005000,
        TEXT_UNSUPPORTED_INPUT = 3007000,
        TEXT_UNKNOWN = 3008000,
        TEXT_SEND_LOG = 3008001,
        TEXT_SEND_WHERE = 3008002,
        TEXT_NO_SURROUND_RESAMPLING = 3009000,
        TEXT_TOOL_NOT_STARTED = 3009100,
        TEXT_SOLUTION = 3101000,
        TEXT_SOLUTION_FORMATS = 3102000,
        TEXT_SOLUTION_SAME = 3103000
    };
    // Failure kinds of a "ReportError" event.
    static constexpr int32_t FAILED_RESAMPLING = 3;
    static constexpr int32_t FAILED_INPUT_UNSUPPORTED = 4;
    static constexpr int32_t FAILED_TOOL_NOT_STARTED = 5;

    static Dialog* create() { return pool(); }
    ~Dialog() override;

    // Back to mode 1 with no option controls and a reset job record.
    void reset() override;

    int32_t mode() const { return mode_; }
    void setMode(int32_t mode) { mode_ = mode; }
    // Set: the worker keeps its default priority whatever the window asks.
    void setNormalPriority(bool on) { normalPriority_ = on ? 1 : 0; }
    bool usesAudioQuality() const { return mode_ >= 1 && mode_ <= 4; }

    // ---- The Drop Box's hooks ----
    int32_t defaultCompactWidth() override;
    int32_t defaultCompactHeight() override;
    int32_t defaultLargeWidth() override;
    int32_t defaultLargeHeight() override;
    bool collectSettings() override;
    s::gui::IComboBox* buildFormatList() override;
    bool onEventHook(base::IObject* source, int32_t code) override { return onOptionEvent(source, code); }
    bool hasOptionPanels() override { return true; }
    s::gui::IComponent* buildOptionPanel(int32_t index, const wchar_t* text, int32_t id, int32_t flag) override;
    bool hasFinishRow() override { return mode_ == 2 || mode_ == 3 || mode_ == 6; }
    int32_t updateWorkerPriority(bool forceDefault) override;
    bool offersRightClickTransform() override { return mode_ != 3 && mode_ != 6; }
    int32_t cancelButtonWidth() override { return 75; }
    int32_t layoutGap() override { return 7; }
    int32_t defaultFormatIndex() override;
    bool hasFileMenu() override { return true; }
    bool createsOutputFolder() override { return true; }
    // The conversion job loop over the queue.
    void run() override;

    // ---- Settings, panels and events ----
    // Fills the job record for formatId from the current panel's controls; true: the
    // batch may start (every entry answers true).
    bool fillSetting(int32_t formatId);
    const Setting* jobSetting() const { return &setting_; }
    // Every option-control reference becomes null.
    void clearOptionControls();
    // The current panel's list of (format, kind), or null.
    ComboBox* optionControl(int32_t formatId, OptionRows::Kind kind) const;
    // Steps the format list off headers, stores option changes, shows failed files.
    bool onOptionEvent(base::IObject* source, int32_t code);
    // The text of the failure box for a failed file of kind; logName is the log file
    // written for it (the pack's text names "_error.txt"); reason is the system's words
    // when ffmpeg.exe could not be started.
    void composeFailureText(StrBuffer* out, const wchar_t* inputPath, const wchar_t* outputPath, int32_t kind,
                            const wchar_t* logName, const wchar_t* reason = nullptr);

    // Builders of the panels and their rows (the lists go into *ref).
    s::gui::IComponent* buildAudioPanel(const PanelLayout& layout);
    s::gui::IComponent* buildEmptyPanel();
    s::gui::IComponent* buildNoConfigurationPanel();
    s::gui::IComponent* buildAudioStreamRow(const wchar_t* codec);
    s::gui::IComponent* buildListRow(const OptionRows& rows, const wchar_t* group, ComboBox** ref);
    s::gui::IComponent* buildVolumeRow(const wchar_t* group, ComboBox** ref);
    s::gui::IComponent* buildFixedBox(const PanelLayout::Row& row);
    // Stores the list's choice under the row's key, or steps back from a non-choice.
    bool saveOption(const wchar_t* group, const OptionRows& rows, ComboBox* list);
    // Writes the list's choice (its default when it shows none) into the record.
    static void applyOption(Setting* record, const OptionRows& rows, const s::gui::IComboBox* list);

    // ---- For the video option rows: the dialog's record, store and texts ----
    Setting* jobRecord() { return &setting_; }
    int32_t readOption(const wchar_t* group, const wchar_t* key, int32_t def) { return readInt(optionGroup(group), key, def); }
    bool readOptionBool(const wchar_t* group, const wchar_t* key, bool def) { return readBool(optionGroup(group), key, def); }
    void writeOption(const wchar_t* group, const wchar_t* key, int32_t value) { writeInt(optionGroup(group), key, value); }
    void writeOptionBool(const wchar_t* group, const wchar_t* key, bool value) { writeBool(optionGroup(group), key, value); }
    const wchar_t* textOf(int32_t id) { return text(id); }
    // Start-up opens the dialog in this mode (1); a test asks for another before then.
    static int32_t openingMode();
    static void setOpeningMode(int32_t mode);

    // ---- The video panels' own rows (app/video) ----
    typedef s::gui::win::Box Box;
    typedef s::gui::win::CheckBox CheckBox;
    typedef s::gui::win::Label Label;
    typedef s::gui::win::TextField TextField;
    const VideoControls& videoControls() const { return video_; }
    s::gui::IComponent* buildFrameRateRow(const wchar_t* group, ComboBox** list);
    s::gui::IComponent* buildFrameRateRowH263(const wchar_t* group, ComboBox** list);
    bool saveFrameRate(const wchar_t* group, ComboBox* list);
    void applyFrameRate(Setting* record, const wchar_t* group, ComboBox* list);
    s::gui::IComponent* buildAudioQualityRowVideo(const wchar_t* group, ComboBox** list);
    s::gui::IComponent* buildAudioQualityRowAmrVideo(const wchar_t* group, ComboBox** list);
    s::gui::IComponent* buildContentKindRow(Label** perHour, Label** perMinute, ComboBox** content);
    s::gui::IComponent* buildQualityBoostRow(ComboBox* content, ComboBox** boost, Label** videoRate);
    void loadQualityBoost(ComboBox* content, ComboBox* boost);
    void updateP2pEstimates(ComboBox* content, Label* perMinute, Label* perHour, ComboBox* boost, Label* videoRate,
                            Label* pictureSize, Label* audioRate);
    bool saveContentKind(const wchar_t* group, ComboBox* content, Label* perMinute, Label* perHour, ComboBox* boost,
                         Label* videoRate, Label* pictureSize, Label* audioRate);
    bool saveQualityBoost(const wchar_t* group, ComboBox* content, Label* perMinute, Label* perHour, ComboBox* boost,
                          Label* videoRate, Label* pictureSize, Label* audioRate);
    s::gui::IComponent* buildTestRunRow(const wchar_t* group, CheckBox** check, ComboBox** position,
                                        TextField** seconds);
    s::gui::IComponent* buildTestRunRowTarget(const wchar_t* group, CheckBox** check, ComboBox** position,
                                              TextField** seconds, Box** detail);
    // Both test-run rows: the stored choices shown and the dialog listening; whether it is on.
    bool restoreTestRun(const wchar_t* group, CheckBox* check, ComboBox* position, TextField* seconds);
    bool saveTestRun(const wchar_t* group, CheckBox* check);
    bool saveTestRunTarget(const wchar_t* group, CheckBox* check, ComboBox* position, TextField* seconds, Box* detail);
    bool saveTestPosition(const wchar_t* group, ComboBox* position);
    void applyTestRun(Setting* record, const wchar_t* group, CheckBox* check, ComboBox* position, TextField* seconds);
    // The video panels: presets, targets, the spacer and the information panel.
    s::gui::IComponent* buildSpacerPanel();
    s::gui::IComponent* buildHdInfoPanel();

    // ---- The job loop's view ----
    void lockQueue() override { Base::lockQueue(); }
    void unlockQueue() override { Base::unlockQueue(); }
    int32_t queueCount() override { return Base::queueCount(); }
    const wchar_t* queuedPath(int32_t index) override { return Base::queuedPath(index); }
    void setCurrentIndex(int32_t index) override { Base::setCurrentIndex(index); }
    const std::atomic<uint8_t>* cancelFlag() override { return Base::cancelFlag(); }
    const wchar_t* outputFolder() override { return Base::outputFolder(); }
    const Setting* setting() override { return &setting_; }
    void setLastFileSucceeded(bool succeeded) override { Base::setLastFileSucceeded(succeeded); }
    StrBuffer* jobLog() override { return log_; }
    void setExternalRun(bool external) override { externalRun_.store(external ? 1 : 0); }
    void setErrorLogName(const wchar_t* name) override;
    void setFailureReason(const wchar_t* reason) override;
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) override {
        return Base::sendWorkerEvent(name, value1, value2, text);
    }
    bool wantsIdlePriority() override { return normalPriority_ == 0 && Base::wantsIdlePriority(); }
    sound::ffmpeg::ITaskbarProgress* taskbar() override { return Base::taskbar(); }

protected:
    Dialog();

    // A video format's options panel, and the job record's video fields filled from it
    // (app/video/VideoPanels.cpp); asked only for the video entries of the format list.
    virtual s::gui::IComponent* buildVideoPanel(int32_t formatId);
    virtual bool fillVideoSetting(int32_t formatId);

private:
    // The settings group of a format's options, "MainWindow\ConvertTo2\<group>".
    const wchar_t* optionGroup(const wchar_t* group);
    void showFailure();
    // A change of a video panel's control: true with *consumed when source is one.
    bool onVideoOptionEvent(base::IObject* source, bool* consumed);
    // The option-row frame every video row stands in.
    s::gui::win::GroupBox* buildVideoRowFrame(int32_t captionId, s::gui::IComponent* content);
    s::gui::IComponent* buildVideoListRow(const OptionRows& rows, const wchar_t* group, ComboBox** list);
    void relayoutForNewHeight();
    // The rows of the video codec, quality, size, TV system and screen shape and the
    // stream choices of two presets, and what a batch takes from them.
    s::gui::IComponent* buildVideoPartRow(int32_t token, const wchar_t* group);
    void applyVideoPartSettings(Setting* record, int32_t presetId);
    bool onVideoPartEvent(base::IObject* source, bool* consumed);
    // The AVI MPEG-4 preset's audio codec (1 AC3, 2 the other); the SWF preset's audio.
    int32_t aviAudioCodec();
    bool swfAudioOn();
    // The size and bit-rate targets.
    bool fillVideoTargetSetting(int32_t formatId);

    Setting setting_;
    int32_t mode_;
    uint8_t normalPriority_;
    StrBuffer* log_;
    // Written by the worker before it reports the failure and waits.
    StrBuffer errorLogName_;
    StrBuffer failureReason_;
    std::atomic<uint8_t> externalRun_;
    ComboBox* controls_[FORMAT_SLOTS][OptionRows::KIND_COUNT];
    VideoControls video_;
};

} // namespace s::sound::gui::dialogs::mp3conv
