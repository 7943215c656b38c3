// Ctrl + middle click: the questions in English with No the default, the
// line written to the running host's settings file, and the wheel after.
#include "harness.h"

namespace e2e {

// Each question (5001 + n, about the class) checked and answered; then the
// file holds `written` (or is as it was), and the wheel over the window
// does as `after` says.
struct Question {
  UINT n;
  const char* className;  // 5007's subject (nullptr): the file
  WPARAM answer;
};
struct EditRow {
  const char* name;
  Scene window;
  std::vector<Question> questions;
  const char* written;
  std::vector<Row> after;
  bool held = false;  // the file is held open without sharing meanwhile
};
// clang-format off
const std::vector<EditRow> kEdits = {
  {"a class that cannot be listed: 5004, then 5006", Dialog, {{3, "#32770", IDYES}, {5, "#32770", IDOK}}, nullptr, {}},
  {"an excluded parent class: 5002, Yes takes it off", ExChild, {{1, "TvExcludedTop", IDYES}}, "TvExcludedTop=0",
   {{"then its class is scrolled by lines", ExChild, Top, 0x20A, kDown, Lines(kDown, ExChild, WM_VSCROLL, 2)}}},
  {"a child excluded by a prefix: 5003, Yes writes its whole name", Pane, {{2, "TvPaneA", IDYES}}, "TvPaneA=0",
   {{"the prefix still excludes it", Pane, Top, 0x20A, kDown, Forwarded(kDown, Pane)}}},
  {"a top-level window is its own parent; No and No write nothing", Top, {{3, "TvTop", IDNO}, {4, "TvTop", IDNO}}, nullptr, {}},
  {"neither excluded: 5004 No, then 5005 Yes excludes the child", PassChild, {{3, "TvPassTop", IDNO}, {4, "TvChild", IDYES}}, "TvChild=1",
   {{"then its class is forwarded everywhere", Child, Top, 0x20A, kUp, Forwarded(kUp, Child)}}},
  {"neither excluded: 5004 Yes excludes the parent", Popup, {{3, "TvTop", IDYES}}, "TvTop=1",
   {{"then the pop-up under it is forwarded", Popup, Top, 0x20A, kUp, Forwarded(kUp, Popup)}}},
  {"a blank at the end of a class: 5004, then 5006", Blank, {{3, "TvBlank ", IDYES}, {5, "TvBlank ", IDOK}}, nullptr, {}},
  {"a class excluded by the low sentinel: 5003, then 5006", Bang, {{2, "!TvBang", IDYES}, {5, "!TvBang", IDOK}}, nullptr, {}},
  {"a file held by another program: 5007 names it, nothing changes", ExChild, {{2, "TvChild", IDYES}, {6, nullptr, IDOK}}, nullptr,
   {{"the class is still forwarded", ExChild, Top, 0x20A, kUp, Forwarded(kUp, ExChild)}}, true},
};
const Row kWhileAsking =
  {"the wheel works while a question is open", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)};
// clang-format on

static BOOL CALLBACK CountBox(HWND w, LPARAM boxes) {
  char title[16] = "";
  if (IsWindowVisible(w) && GetWindowTextA(w, title, sizeof title) &&
      title == std::string_view(kProgramTitle))
    ++*reinterpret_cast<size_t*>(boxes);
  return TRUE;
}

void Edit(const EditRow& row) {
  const std::string before = ReadFile("Tavrin64.ini");
  // Not the host's thread, whose question boxes were in front until now.
  Focus();
  HANDLE held = row.held ? Hold("Tavrin64.ini") : INVALID_HANDLE_VALUE;
  StartCase();
  AskAbout(row.window);
  std::string wrong;
  if (row.questions[0].n == 1) Rows({kWhileAsking});  // the first 5002
  if (row.questions[0].n == 3) {  // the first 5004: a second click asks not
    AskAbout(row.window);
    Settle();
    size_t boxes = 0;
    EnumWindows(CountBox, reinterpret_cast<LPARAM>(&boxes));
    if (boxes != 1) wrong += "  " + std::to_string(boxes) + " boxes at once\n";
  }
  for (const Question& q : row.questions) {
    char want[1024];
    snprintf(want, sizeof want, HostText(5001 + q.n).c_str(),
             q.className ? q.className : Host("Tavrin64.ini").c_str(),
             kProgramTitle, kProgramTitle);
    if (Answer(kProgramTitle, q.answer) != want ||
        box.defaultButton != (q.answer == IDOK ? IDOK : IDNO))
      wrong += "  box \"" + box.text + "\", default " +
               std::to_string(box.defaultButton) + "\n";
  }
  Settle();  // the host has written and reloaded, or asks once more
  if (FindWindowA("#32770", kProgramTitle)) wrong += "  a further question\n";
  if (row.held) CloseHandle(held);
  const std::string after = ReadFile("Tavrin64.ini");
  if (row.written ? after.find(row.written) == std::string::npos
                  : after != before)
    wrong += "  the file:\n" + after;
  Check(wrong.empty(), row.name, wrong);
  Rows(row.after);
}

void EditorCases() {
  for (const EditRow& row : kEdits) Edit(row);
}

}  // namespace e2e
