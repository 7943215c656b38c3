#include "tray_icon.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <memory>
#include <new>

#include "program_identity.h"
#include "program_path.h"
#include "resource_ids.h"
#include "resource_message.h"
#include "version.h"

namespace tavrin::host {

namespace {

constexpr UINT kIconId = 1;
constexpr UINT_PTR kClickTimer = 0x7A1;  // a left click, waiting
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The icon at the size the notification area asks for at the display's
// scale, from the sizes drawn for 100 to 200 %, not a 32-pixel image
// scaled down.
HICON LoadTrayIcon(bool paused) {
  HICON icon = nullptr;
  const auto id =
      static_cast<WORD>(paused ? IDI_TAVRIN64_PAUSED : IDI_TAVRIN64);
  if (FAILED(LoadIconMetric(GetModuleHandleA(nullptr), MAKEINTRESOURCEW(id),
                            LIM_SMALL, &icon)))
    icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                   LR_DEFAULTCOLOR));
  return icon;
}

std::string ServiceText(const TrayState& state) {
  return ResourceText(TooltipTextId(state.paused, state.serves32Bit),
                      kProgramTitle, state.missing);
}

}  // namespace

TrayIcon::TrayIcon(HWND window)
    : window_(window),
      taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {}

void TrayIcon::Show(bool shown, const TrayState& state) {
  const bool changed = state != state_;
  state_ = state;
  if (!shown) {
    if (added_) Notify(NIM_DELETE);
    shown_ = added_ = false;
    return;
  }
  // An add that failed waits for the notification area to start.
  if (!shown_) {
    shown_ = true;
    Notify(NIM_ADD);
  } else if (added_ && changed) {
    Notify(NIM_MODIFY);
  }
}

void TrayIcon::Notify(DWORD command) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  HICON icon = nullptr;
  if (command != NIM_DELETE) {
    icon = LoadTrayIcon(state_.paused);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = kWmuTrayIcon;
    data.hIcon = icon;
    lstrcpynA(data.szTip, ServiceText(state_).c_str(), sizeof data.szTip);
  }
  // Without a notification area (at logon, before Explorer) this fails;
  // TaskbarCreated brings the next try.
  const bool done = Shell_NotifyIconA(command, &data);
  if (command == NIM_ADD && done) {
    added_ = true;
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
  }
  if (icon) DestroyIcon(icon);
}

bool TrayIcon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                         std::optional<TrayCommand>& chosen) {
  chosen.reset();
  if (message == taskbarCreated_) {
    // A notification area that starts knows no icon yet.
    added_ = false;
    if (shown_) Notify(NIM_ADD);
    return true;
  }
  if (message == WM_TIMER && wParam == kClickTimer) {
    KillTimer(window_, kClickTimer);
    chosen = TrackMenu(clickedAt_);
    return true;
  }
  if (message != kWmuTrayIcon) return false;
  const POINT at{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
  switch (ActionFor(LOWORD(lParam))) {
    case TrayAction::Menu:
      KillTimer(window_, kClickTimer);
      chosen = TrackMenu(at);
      break;
    case TrayAction::MenuUnlessDoubleClick:
      clickedAt_ = at;
      SetTimer(window_, kClickTimer, GetDoubleClickTime(), nullptr);
      break;
    case TrayAction::PauseResume:
      KillTimer(window_, kClickTimer);
      chosen = TrayCommand::PauseResume;
      break;
    case TrayAction::None:
      break;
  }
  return true;
}

std::optional<TrayCommand> TrayIcon::TrackMenu(POINT at) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return std::nullopt;
  for (const TrayMenuItem& item :
       TrayMenuItems(state_.paused, StartsWithWindows())) {
    const std::string text = ResourceText(item.textId, kProgramTitle);
    AppendMenuA(menu, item.checked ? MF_STRING | MF_CHECKED : MF_STRING,
                static_cast<UINT_PTR>(item.command), text.c_str());
    if (item.isDefault)
      SetMenuDefaultItem(menu, static_cast<UINT>(item.command), FALSE);
    if (item.separatorAfter) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  // A menu of the notification area closes on a click elsewhere only if
  // its owner is the foreground window as it opens, and needs a message
  // after it (the remarks of TrackPopupMenu; Wine closes it regardless).
  SetForegroundWindow(window_);
  const UINT align =
      GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  const auto id = static_cast<UINT>(TrackPopupMenu(
      menu,
      TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN | align,
      at.x, at.y, 0, window_, nullptr));
  PostMessageA(window_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (!id) return std::nullopt;
  return TrayCommand(id);
}

bool StartsWithWindows() {
  char value[MAX_PATH * 4] = "";
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, kProgramTitle, RRF_RT_REG_SZ,
                   nullptr, value, &size) != ERROR_SUCCESS)
    return false;
  return RunValueStarts(value, ProgramPath());
}

bool SetStartsWithWindows(bool on) {
  HKEY run = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &run, nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS status = ERROR_SUCCESS;
  const std::string program = ProgramPath();
  if (!on) {
    status = RegDeleteValueA(run, kProgramTitle);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else if (program.empty()) {
    status = ERROR_PATH_NOT_FOUND;
  } else {
    // Another copy's value is replaced: the one that ticks it starts.
    const std::string value = RunValueFor(program);
    status = RegSetValueExA(run, kProgramTitle, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
  }
  RegCloseKey(run);
  return status == ERROR_SUCCESS;
}

namespace {

// Makes the settings file with the content that ships beside the program;
// false when it could not be written. An existing file is never touched.
bool CreateShippedSettings(const std::string& path) {
  const HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDR_SHIPPED_SETTINGS),
                              MAKEINTRESOURCEA(10));  // RT_RCDATA
  const void* content =
      found ? LockResource(LoadResource(self, found)) : nullptr;
  if (!content) return false;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const DWORD size = SizeofResource(self, found);
  const bool ok =
      WriteFile(file, content, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!ok) DeleteFileA(path.c_str());
  return ok;
}

DWORD WINAPI EditSettings(void* parameter) {
  const std::unique_ptr<std::string> path(static_cast<std::string*>(parameter));
  if (GetFileAttributesA(path->c_str()) == INVALID_FILE_ATTRIBUTES &&
      GetLastError() == ERROR_FILE_NOT_FOUND) {
    if (ShowResourceMessage(nullptr, IDS_CREATE_SETTINGS_QUESTION,
                            MB_YESNO | MB_ICONQUESTION, path->c_str(),
                            kProgramTitle) != IDYES)
      return 0;
    if (!CreateShippedSettings(*path)) {
      ShowResourceMessage(nullptr, IDS_CANNOT_WRITE, MB_OK | MB_ICONEXCLAMATION,
                          path->c_str(), kProgramTitle);
      return 0;
    }
  }
  // The shell may hand the file to a program by COM, which wants this.
  const HRESULT com = CoInitializeEx(
      nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::string quoted = "\"" + *path + "\"";
  if (reinterpret_cast<INT_PTR>(ShellExecuteA(
          nullptr, "open", path->c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <=
      32)
    ShellExecuteA(nullptr, "open", "notepad.exe", quoted.c_str(), nullptr,
                  SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

void EditSettingsFile(const char* path) {
  if (!path[0]) return;
  auto* copy = new (std::nothrow) std::string(path);
  if (!copy) return;
  if (HANDLE thread = CreateThread(nullptr, 0, EditSettings, copy, 0, nullptr))
    CloseHandle(thread);
  else
    delete copy;
}

void ShowAbout(const char* settingsPath, const TrayState& state) {
  ShowResourceMessage(nullptr, IDS_ABOUT, MB_OK | MB_ICONINFORMATION,
                      kProgramTitle, TAVRIN_VERSION_TEXT, settingsPath,
                      ServiceText(state).c_str());
}

}  // namespace tavrin::host
