// CObject and run-time class information: each class that asks for it gets a
// static CRuntimeClass naming the class, its base and (for dynamically
// creatable classes) a factory.
#pragma once
#include <windows.h>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();   // null unless DECLARE_DYNCREATE
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject {
public:
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                          \
public:                                                      \
    static const CRuntimeClass class##class_name;            \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                        \
    DECLARE_DYNAMIC(class_name)                              \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_name, pfnNew)                                  \
    const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name),      \
                                                          pfnNew, RUNTIME_CLASS(base_name)};   \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) IMPLEMENT_RUNTIMECLASS(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)                   \
    CObject* class_name::CreateObject() { return new class_name; }    \
    IMPLEMENT_RUNTIMECLASS(class_name, base_name, class_name::CreateObject)
