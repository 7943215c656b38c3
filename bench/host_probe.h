// How long the host's thread goes without answering, which on Windows is
// how long every 32-bit application's hook calls wait: the host window is
// sent WM_NULL every 10 ms, from its appearance (waited for up to 10 s)
// until it is gone or `probing` turns false, and each wait (`timeoutMs`
// when it did not answer in that time) goes to took(ms). False when no host
// appeared.
#pragma once

#include <windows.h>

#include <atomic>

#include "program_identity.h"

template <typename Took>
bool ProbeHost(DWORD timeoutMs, const std::atomic<bool>& probing, Took took) {
  HWND host = nullptr;
  for (int i = 0;
       i < 1000 && probing &&
       !(host = FindWindowA(tavrin::kWindowClass, tavrin::kProgramTitle));
       ++i)
    Sleep(10);
  for (bool first = true; host && probing && IsWindow(host); first = false) {
    if (!first) Sleep(10);  // the probe's own pace
    const ULONGLONG asked = GetTickCount64();
    DWORD_PTR reply = 0;
    const bool answered = SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL,
                                              timeoutMs, &reply);
    // A host that ended meanwhile did not keep anyone waiting.
    if (IsWindow(host)) took(answered ? GetTickCount64() - asked : timeoutMs);
  }
  return host != nullptr;
}
