// The control's standard accessible object, with name and description
// replaced: a small proxy that forwards everything else.

#include "AccessibleText.h"

#include <oleacc.h>

namespace win32 {

namespace {

bool isSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT answer(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_INVALIDARG;
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

class Proxy final : public IAccessible
{
public:
    Proxy(IAccessible* standard, HWND control, const AccessibleText& text)
        : m_standard(standard), m_control(control), m_text(text)
    {
        m_standard->AddRef();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // IOleWindow, IEnumVARIANT, ...: the standard object's.
        return m_standard->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return left;
    }

    // The two answers of our own, while the control lives.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (isSelf(child) && IsWindow(m_control) && !m_text.name.empty())
            return answer(m_text.name, name);
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override
    {
        if (isSelf(child) && IsWindow(m_control) && !m_text.description.empty())
            return answer(m_text.description, description);
        return m_standard->get_accDescription(child, description);
    }

    // A box's default action toggles it; the window sees the change and runs
    // the box's reaction.
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (isSelf(child) && IsWindow(m_control) && m_text.toggles)
            return answer(checked() ? L"Deaktivieren" : L"Aktivieren", action);
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!isSelf(child) || !IsWindow(m_control) || !m_text.toggles)
            return m_standard->accDoDefaultAction(child);
        SendMessageW(m_control, BM_SETCHECK, checked() ? BST_UNCHECKED : BST_CHECKED, 0);
        return S_OK;
    }

    // Everything else as the system answers it.
    // clang-format off
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return m_standard->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return m_standard->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override { return m_standard->GetIDsOfNames(r, n, c, l, d); }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override { return m_standard->Invoke(d, r, l, f, p, v, e, a); }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return m_standard->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return m_standard->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return m_standard->get_accChild(c, p); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return m_standard->get_accValue(c, v); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override { return m_standard->get_accRole(c, r); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return m_standard->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return m_standard->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override { return m_standard->get_accHelpTopic(f, c, t); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override { return m_standard->get_accKeyboardShortcut(c, k); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return m_standard->get_accFocus(c); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override { return m_standard->get_accSelection(c); }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override { return m_standard->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override { return m_standard->accLocation(x, y, w, h, c); }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override { return m_standard->accNavigate(d, s, e); }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override { return m_standard->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return m_standard->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return m_standard->put_accValue(c, v); }
    // clang-format on

private:
    ~Proxy() { m_standard->Release(); }

    [[nodiscard]] bool checked() const
    {
        return SendMessageW(m_control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    IAccessible* m_standard;
    HWND m_control;
    const AccessibleText& m_text;
    LONG m_references = 1;
};

} // namespace

bool answerAccessibilityRequest(HWND control, WPARAM wParam, LPARAM lParam,
                                const AccessibleText& text, LRESULT& result)
{
    if (DWORD(lParam) != DWORD(OBJID_CLIENT))
        return false;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        return false;
    auto* proxy = new Proxy(standard, control, text);
    standard->Release();
    result = LresultFromObject(__uuidof(IAccessible), wParam, proxy);
    proxy->Release();
    return true;
}

} // namespace win32
