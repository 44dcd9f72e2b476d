// WatchApp's two files: written at the moments the user's changes must reach the disk, and the
// user told once, with a tray balloon, of a file set aside or one that cannot be saved.
#include <cwchar>

#include "alarm/alarm_list.h"
#include "app/watch_app_win32.h"
#include "settings/settings.h"
#include "watch/tray_icon_win32.h"

namespace {

// Each kind of trouble is told once a run: a file that cannot be saved fails at every save.
enum FileTrouble : uint32_t {
    SETTINGS_SET_ASIDE = 1,
    ALARMS_SET_ASIDE = 2,
    SETTINGS_UNSAVED = 4,
    ALARMS_UNSAVED = 8,
};

const wchar_t* troubleText(uint32_t trouble, bool atStart) {
    switch (trouble) {
    case SETTINGS_SET_ASIDE:
        return L"Setting.xml を読み込めなかったため、Setting.xml.bad として残しました。";
    case ALARMS_SET_ASIDE:
        return L"Alarm.xml を読み込めなかったため、Alarm.xml.bad として残しました。";
    case SETTINGS_UNSAVED:
        return atStart
                   ? L"Setting.xml を読み込めません。元のファイルを守るため、設定は保存しません。"
                   : L"Setting.xml に設定を保存できませんでした。";
    default:
        return atStart
                   ? L"Alarm.xml を読み込めません。元のファイルを守るため、アラームは保存しません。"
                   : L"Alarm.xml にアラームを保存できませんでした。";
    }
}

} // namespace

void WatchApp::tellFileTrouble(uint32_t found, bool atStart) {
    uint32_t fresh = found & ~toldFileTrouble_;
    if (!fresh || !watch_.handle()) return;
    wchar_t text[256] = L"";
    for (uint32_t bit = 1; bit <= ALARMS_UNSAVED; bit <<= 1) {
        if (!(fresh & bit)) continue;
        if (text[0]) wcsncat(text, L"\n", 255 - wcslen(text));
        wcsncat(text, troubleText(bit, atStart), 255 - wcslen(text));
    }
    if (showTrayBalloon(watch_.handle(), WATCH_TITLE, text)) toldFileTrouble_ |= fresh;
}

void WatchApp::reportFilesAtStart() {
    uint32_t found = 0;
    if (settings_ && settings_->setAside) found |= SETTINGS_SET_ASIDE;
    if (settings_ && settings_->keepFile) found |= SETTINGS_UNSAVED;
    if (alarms_ && alarms_->setAside) found |= ALARMS_SET_ASIDE;
    if (alarms_ && alarms_->keepFile) found |= ALARMS_UNSAVED;
    tellFileTrouble(found, true);
}

void WatchApp::saveAlarms() {
    if (alarms_ && !alarms_->save()) tellFileTrouble(ALARMS_UNSAVED, false);
}

void WatchApp::saveFiles() {
    if (settings_ && !saveSettings(settings_)) tellFileTrouble(SETTINGS_UNSAVED, false);
    saveAlarms();
}
