// A kernel object handle, closed with the wrapper on every path.
#pragma once
#include <windows.h>

class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE h = nullptr) : m_h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~CKernelHandle() { if (m_h) ::CloseHandle(m_h); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};
