// The alarm settings dialog of the running program, opened from its menu command and used like
// a user: a new alarm with a typed minute and a dropped sound file, applied, kept in Alarm.xml
// from that moment, through the end of the session and a hard end of the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "watch/menu_commands.h"

namespace {

constexpr const wchar_t* SOUND_PROMPT = L"クリック 又は ファイルドロップ でアラーム音を登録";

// A page of memory inside the program, for the messages whose arguments point at memory.
class RemotePage {
  public:
    explicit RemotePage(DWORD pid) {
        process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process)
            base = static_cast<char*>(
                VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemotePage() {
        if (base) VirtualFreeEx(process, base, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    RemotePage(const RemotePage&) = delete;
    RemotePage& operator=(const RemotePage&) = delete;

    bool ok() const { return base != nullptr; }
    char* at(size_t offset) const { return base + offset; }
    void write(size_t offset, const void* bytes, size_t count) {
        WriteProcessMemory(process, base + offset, bytes, count, nullptr);
    }
    void read(size_t offset, void* bytes, size_t count) {
        ReadProcessMemory(process, base + offset, bytes, count, nullptr);
    }
    // Leaves the page to the program, which now owns what it points at.
    void release() { base = nullptr; }

  private:
    HANDLE process = nullptr;
    char* base = nullptr;
};

// The text of a list view cell, read through the program's memory.
std::wstring cellText(HWND listView, RemotePage* page, int row, int column) {
    constexpr size_t TEXT_AT = 256;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(page->at(TEXT_AT));
    item.cchTextMax = 64;
    wchar_t text[64] = {};
    page->write(TEXT_AT, text, sizeof text);
    page->write(0, &item, sizeof item);
    SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(page->at(0)));
    page->read(TEXT_AT, text, sizeof text);
    text[63] = 0;
    return text;
}

// Drops `path` on `target` the way the shell does: a DROPFILES block in the program's memory.
// The block starts inside the page so that releasing it after the drop fails harmlessly.
void dropFile(DWORD pid, HWND target, const std::wstring& path) {
    RemotePage page(pid);
    if (!page.ok()) return;
    constexpr size_t BLOCK_AT = 64;
    DROPFILES files = {};
    files.pFiles = sizeof files;
    files.fWide = TRUE;
    page.write(BLOCK_AT, &files, sizeof files);
    page.write(BLOCK_AT + sizeof files, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(page.at(BLOCK_AT)), 0);
    page.release();
}

// The text of a window of the program (a control's text needs the message, not the title).
std::wstring windowText(HWND window) {
    wchar_t text[300] = {};
    SendMessageW(window, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND findCaption(DWORD pid, const wchar_t* caption) {
    for (HWND window : windowsOfClass(L"#32770", pid))
        if (IsWindowVisible(window) && windowText(window) == caption) return window;
    return nullptr;
}

// A 16-bit mono WAVE file of 0.1 s of silence.
std::string waveBytes() {
    std::string b = "RIFF----WAVEfmt ";
    auto u32 = [&](uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    u32(16);
    u16(1), u16(1), u32(22050), u32(44100), u16(2), u16(16);
    b += "data";
    u32(4410);
    b.append(4410, '\0');
    uint32_t riff = uint32_t(b.size() - 8);
    std::memcpy(&b[4], &riff, 4);
    return b;
}

// The value of attribute `name` in the element that starts with `element`, or "".
std::string attributeOf(const std::string& xml, const std::string& element, const char* name) {
    size_t start = xml.find(element);
    if (start == std::string::npos) return "";
    size_t end = xml.find('>', start);
    std::string key = std::string(name) + " = \"";
    size_t at = xml.find(key, start);
    if (at == std::string::npos || at > end) return "";
    at += key.size();
    return xml.substr(at, xml.find('"', at) - at);
}

TEST(AlarmDialogE2E, NewAlarmFromTheMenuIsOnDiskAtOnceAndAtTheEndOfTheSession) {
    // Without a sound device the engine stays closed and no file is playable.
    if (waveOutGetNumDevs() == 0) {
        ASSERT_EQ(GetEnvironmentVariableW(L"VESK_EXPECT_SOUND", nullptr, 0), 0u)
            << "a sound server was started, but the program sees no sound device";
        GTEST_SKIP() << "no sound device: no sound file can be chosen";
    }
    ProgramFolder folder;
    writeFileBytes(folder.file(L"bell.wav"), waveBytes());
    VeskProcess process;
    ASSERT_TRUE(process.start(folder.exe()));
    HWND watch = process.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);

    PostMessageW(watch, WM_COMMAND, CMD_ALARM_SETTINGS, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = findCaption(process.id(), L"アラーム設定")); }));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), watch);
    HWND listView = GetDlgItem(dialog, 1001);
    HWND panel = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
    ASSERT_NE(panel, nullptr);
    RemotePage page(process.id());
    ASSERT_TRUE(page.ok());

    ASSERT_EQ(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(cellText(listView, &page, 0, 0), L"新規");
    EXPECT_EQ(SendMessageW(listView, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(windowText(GetDlgItem(panel, 1010)), L"0");
    EXPECT_EQ(windowText(GetDlgItem(panel, 1012)), L"0");
    EXPECT_EQ(windowText(GetDlgItem(panel, 1014)), L"0");
    EXPECT_EQ(windowText(GetDlgItem(panel, 1017)), L"1");
    EXPECT_EQ(SendMessageW(GetDlgItem(panel, 1016), BM_GETCHECK, 0, 0), BST_CHECKED);
    HWND fileButton = GetDlgItem(panel, 1020);
    HWND commit = GetDlgItem(panel, 1002);
    EXPECT_EQ(windowText(fileButton), SOUND_PROMPT);
    EXPECT_EQ(windowText(commit), L"追加");
    EXPECT_FALSE(IsWindowEnabled(commit));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1023)));

    SendMessageW(GetDlgItem(panel, 1012), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"75"));
    EXPECT_EQ(windowText(GetDlgItem(panel, 1012)), L"59");

    dropFile(process.id(), fileButton, folder.file(L"bell.wav"));
    ASSERT_TRUE(waitFor([&] { return windowText(fileButton) == L"bell.wav"; }))
        << "button shows " << windowText(fileButton).size() << " units";
    ASSERT_TRUE(IsWindowEnabled(commit));
    SendMessageW(commit, BM_CLICK, 0, 0);
    ASSERT_EQ(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(cellText(listView, &page, 0, 1), L" 0:59:00");
    EXPECT_EQ(cellText(listView, &page, 0, 2), L"指定なし（毎日）");
    EXPECT_EQ(cellText(listView, &page, 1, 0), L"新規");

    // Posted: a confirmation box, were one to appear, would hold a sent click.
    PostMessageW(GetDlgItem(panel, 1), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); })) << "a confirmation was asked";
    // Applying writes the file at once; the end of the session writes it again, at its query and
    // at its end on their own, so a program ended hard right after (as a logoff may do) keeps
    // the alarm.
    auto alarmOnDisk = [&] {
        return readFileBytes(folder.file(L"Alarm.xml")).find("bell.wav") != std::string::npos;
    };
    EXPECT_TRUE(waitFor(alarmOnDisk));
    ASSERT_TRUE(DeleteFileW(folder.file(L"Alarm.xml").c_str()));
    EXPECT_EQ(SendMessageW(watch, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_TRUE(alarmOnDisk());
    ASSERT_TRUE(DeleteFileW(folder.file(L"Alarm.xml").c_str()));
    SendMessageW(watch, WM_ENDSESSION, TRUE, 0);
    process.kill();

    std::string xml = readFileBytes(folder.file(L"Alarm.xml"));
    EXPECT_EQ(attributeOf(xml, "<0", "Enable"), "1");
    EXPECT_EQ(attributeOf(xml, "<0", "Repeat"), "1");
    EXPECT_EQ(attributeOf(xml, "<0", "Hour"), "0");
    EXPECT_EQ(attributeOf(xml, "<0", "Minute"), "59");
    EXPECT_EQ(attributeOf(xml, "<0", "Play"), "1");
    EXPECT_EQ(attributeOf(xml, "<0", "File"), "bell.wav");
    EXPECT_EQ(xml.find("<1"), std::string::npos) << xml;
}

} // namespace
