// Ctrl + middle click with real input (xdotool on the Xvfb display) over
// the windows of msg_target.exe, with the real Tavrin64.exe running: finds
// each question box, checks its text and default button, answers it, and
// then checks the settings file and what the very next wheel notch does.
//
//   editor_driver.exe [japanese]
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e_support.h"

using namespace tavrin::e2e;

namespace {

const char kSettings[] =
    "[general]\r\nscroll_counts=3\r\nclose_by_mbtn=1\r\n"
    "[exclude_class]\r\nTavrinPane\r\nTavrinPaneFrame\r\nTavrinSync\r\n"
    "[exclude_parent_class]\r\nTavrinExcludedTop\r\n";

// The texts of the string table, in UTF-8, by id - 5002.
struct Texts {
  const char* parentExcluded;
  const char* childExcluded;
  const char* excludeParent;
  const char* excludeChild;
  const char* cannotBeListed;
};
const Texts kEnglish = {
    "Parent class '%s' is excluded from Tavrin64 support.\nDo you want to "
    "support it by Tavrin64?",
    "Child class '%s' is excluded from Tavrin64 support.\nDo you want to "
    "support it by Tavrin64?",
    "Do you want to exclude parent class '%s' by Tavrin64 support?",
    "Do you want to exclude child class '%s' by Tavrin64 support?",
    "Class '%s' cannot be listed in the Tavrin64 settings: a name that is "
    "empty or begins with #, /, ; or [ cannot be read back from the file.",
};
const Texts kJapanese = {
    "親クラス %s はTavrin64の対応から除外されています。\nTavrin64で対応させま"
    "すか？",
    "子クラス %s はTavrin64の対応から除外されています。\nTavrin64で対応させま"
    "すか？",
    "親クラス %s をTavrin64の動作対象から除外しますか？",
    "子クラス %s をTavrin64の動作対象から除外しますか？",
    "クラス %s はTavrin64の設定に登録できません。名前が空のクラスや、#、/、; "
    "または [ で始まるクラスは設定ファイルから読み戻せません。",
};

// The text as this process reads a box: UTF-8 turned into the ANSI code
// page (932 under a Japanese locale), with the class name put in.
std::string Expected(const char* utf8, const std::string& className) {
  wchar_t wide[1024];
  char ansi[2048];
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
  WideCharToMultiByte(CP_ACP, 0, wide, n, ansi, sizeof ansi, nullptr, nullptr);
  std::string text = ansi;
  text.replace(text.find("%s"), 2, className);
  return text;
}

enum class Wheel { Lines, Forwarded };

struct Question {
  const char* Texts::*text;
  const char* className;
  WPARAM answer;
};

struct Case {
  const char* name;
  Role window;
  std::vector<Question> questions;
  const char* section;  // the section and "key=value" line that the file
  const char* line;     // must hold; nullptr when it must not change
  Wheel wheel;          // what the next notch over the window does
};

// clang-format off
const std::vector<Case> kCases = {
  {"parent excluded: 5002, Yes takes it off", Role::ExcludedChild,
   {{&Texts::parentExcluded, "TavrinExcludedTop", IDYES}}, "exclude_parent_class", "TavrinExcludedTop=0", Wheel::Lines},
  {"child excluded by a prefix: 5003, Yes writes 0, the prefix stays", Role::PaneA,
   {{&Texts::childExcluded, "TavrinPaneA", IDYES}}, "exclude_class", "TavrinPaneA=0", Wheel::Forwarded},
  {"neither: 5004 No, then 5005 Yes excludes the child", Role::PaneWnd,
   {{&Texts::excludeParent, "TavrinTestTop", IDNO}, {&Texts::excludeChild, "TavrinPaneWnd", IDYES}}, "exclude_class", "TavrinPaneWnd=1", Wheel::Forwarded},
  {"neither: No and No write nothing", Role::Child,
   {{&Texts::excludeParent, "TavrinTestTop", IDNO}, {&Texts::excludeChild, "TavrinTestChild", IDNO}}, nullptr, nullptr, Wheel::Lines},
  {"neither: 5004 Yes excludes the parent, 5005 is not asked", Role::PassChild,
   {{&Texts::excludeParent, "TavrinPassTop", IDYES}}, "exclude_parent_class", "TavrinPassTop=1", Wheel::Forwarded},
  {"a class that cannot be listed: a message, nothing written", Role::Dialog,
   {{&Texts::excludeParent, "#32770", IDYES}, {&Texts::cannotBeListed, "#32770", IDOK}}, nullptr, nullptr, Wheel::Lines},
};
// clang-format on

// Whether the section of the settings text holds the line.
bool Holds(const std::string& file, const std::string& section,
           const std::string& line) {
  bool inSection = false;
  size_t start = 0;
  while (start < file.size()) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    std::string text = file.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (!text.empty() && text[0] == '[')
      inSection = text == "[" + section + "]";
    else if (inSection && text == line)
      return true;
    start = end + 1;
  }
  return false;
}

class EditorDriver {
 public:
  explicit EditorDriver(const Texts& texts) : texts_(texts), sink_(0, 0) {}

  bool Start() {
    WriteSettings(ProgramDirectory() + "Tavrin64.exe", kSettings);
    target_ = sink_.StartTarget();
    host_ = StartProgram("\"" + ProgramDirectory() + "Tavrin64.exe\"");
    if (!target_ || !host_) return false;
    // Ready when a notch over the list scrolls it.
    HWND list = sink_.WindowFor(Role::List);
    PointAt(Role::List);
    for (int i = 0; i < 40; ++i) {
      XdoTool("click 5");
      if (PumpUntil([&] { return TopLine(list) > 0; }, 250)) return true;
    }
    return false;
  }

  void Run(const Case& c) {
    const std::string settings = ProgramDirectory() + "Tavrin64.ini";
    const std::string before = ReadFileBytes(settings);
    PointAt(c.window);
    // Ctrl stays down a moment, as under a hand: the host asks for it only
    // when the click's notification arrives.
    XdoTool("keydown ctrl click 2 sleep 0.3 keyup ctrl");
    std::string failures;
    for (const Question& q : c.questions) {
      if (q.text == &Texts::excludeParent && !wheelChecked_) {
        // A notch while the question is open is handled all the same.
        wheelChecked_ = true;
        const bool open = WaitForMessageBox("Tavrin64") != nullptr;
        checks.Expect(open && WheelScrollsTheList(),
                      "the wheel works while a question is open");
        PointAt(c.window);
      }
      const MessageBoxSeen box = AnswerMessageBox("Tavrin64", q.answer);
      const std::string want = Expected(texts_.*q.text, q.className);
      const int wantDefault = q.answer == IDOK ? IDOK : IDNO;
      if (box.text != want || box.defaultButton != wantDefault)
        failures += "  box \"" + box.text + "\" (default " +
                    std::to_string(box.defaultButton) + ")\n  expected \"" +
                    want + "\"\n";
    }
    Drain(300);
    if (FindWindowA("#32770", "Tavrin64")) {
      failures += "  an unexpected further question\n";
      AnswerMessageBox("Tavrin64", IDNO);
    }
    const std::string after = ReadFileBytes(settings);
    if (c.section ? !Holds(after, c.section, c.line) : after != before)
      failures += "  settings file:\n" + after + "\n";
    const Wheel wheel = NextNotch(c.window);
    if (wheel != c.wheel)
      failures += wheel == Wheel::Lines ? "  the wheel scrolls by lines\n"
                                        : "  the wheel is forwarded\n";
    checks.Expect(failures.empty(), c.name, failures);
  }

  void Stop() {
    checks.Expect(
        RunProgram("Tavrin64.exe terminate") == 0 && ExitCodeOf(host_) == 0,
        "terminate");
    PostMessageA(sink_.WindowFor(Role::Top), WM_CLOSE, 0, 0);
    WaitForSingleObject(target_, 5000);
  }

  Checks checks;

 private:
  static LRESULT TopLine(HWND list) {
    return SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  }

  void PointAt(Role role) {
    RECT r;
    GetWindowRect(sink_.WindowFor(role), &r);
    XdoTool("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
            std::to_string((r.top + r.bottom) / 2));
  }

  bool WheelScrollsTheList() {
    HWND list = sink_.WindowFor(Role::List);
    const LRESULT before = TopLine(list);
    PointAt(Role::List);
    XdoTool("click 5");
    return PumpUntil([&] { return TopLine(list) != before; }, 3000);
  }

  // Turns the wheel one notch over the window and sees what reaches it.
  Wheel NextNotch(Role role) {
    const uint64_t window = reinterpret_cast<uintptr_t>(sink_.WindowFor(role));
    const size_t from = sink_.records.size();
    XdoTool("click 5");
    Wheel seen = Wheel::Lines;
    PumpUntil(
        [&] {
          for (size_t i = from; i < sink_.records.size(); ++i) {
            const LogRecord& r = sink_.records[i];
            if (r.window != window) continue;
            if (r.message == WM_MOUSEWHEEL) seen = Wheel::Forwarded;
            if (r.message == WM_MOUSEWHEEL || r.message == WM_VSCROLL)
              return true;
          }
          return false;
        },
        3000);
    return seen;
  }

  const Texts& texts_;
  Sink sink_;
  HANDLE target_ = nullptr;
  HANDLE host_ = nullptr;
  bool wheelChecked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const bool japanese = argc > 1 && std::string(argv[1]) == "japanese";
  EditorDriver d(japanese ? kJapanese : kEnglish);
  const char* title =
      japanese ? "exclusion editor, Japanese" : "exclusion editor, English";
  if (!d.Start()) {
    d.checks.Expect(false, "target and host start");
    return d.checks.Finish(title);
  }
  for (const Case& c : kCases) d.Run(c);
  d.Stop();
  return d.checks.Finish(title);
}
