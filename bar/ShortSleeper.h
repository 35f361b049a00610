// CShortSleeper: sleeps shorter than the 16 ms clock tick (a Sleep(1) on
// Windows lasts a whole tick) without spinning and without raising the
// system's timer resolution: a high-resolution waitable timer (Windows 10
// 1803 and later), else Sleep rounded up to whole milliseconds.
#pragma once
#include <windows.h>

#include "framework/Handle.h"

class CShortSleeper {
public:
    CShortSleeper()
        : m_timer(::CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_MODIFY_STATE | SYNCHRONIZE)) {}
    CShortSleeper(const CShortSleeper&) = delete;
    CShortSleeper& operator=(const CShortSleeper&) = delete;

    // Sleeps `hundredNs` units of 100 ns.
    void Sleep(LONGLONG hundredNs)
    {
        LARGE_INTEGER due{};
        due.QuadPart = -hundredNs;  // relative
        const DWORD ms = static_cast<DWORD>((hundredNs + 9999) / 10000);
        if (m_timer.Get() && ::SetWaitableTimer(m_timer.Get(), &due, 0, nullptr, nullptr, FALSE))
            ::WaitForSingleObject(m_timer.Get(), ms + 100);
        else
            ::Sleep(ms);
    }

private:
    static constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    CKernelHandle m_timer;
};
