// The editor window's drop target takes no drop: "none" on drag-enter, drag-over and drop, so a
// drag source that honours "move" keeps its data.
#include <windows.h>
#include <ole2.h>

#include "HostWindow.h"
#include "Validator.h"

namespace validator {
namespace {

// Data of no format at all, as an unknown drag source offers.
class EmptyData : public IDataObject {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override {
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
};

}  // namespace

CHECK_GROUP("droptarget", "a drag onto the editor window gets the effect none") {
    Plugin p;
    HostWindow window(240, 320);
    if (!check(p.ok() && window.ok() && p.call(effEditOpen, 0, 0, window.parent()) == 1,
               "editor open in a host window")) {
        return;
    }
    HWND editor = GetWindow(static_cast<HWND>(window.parent()), GW_CHILD);
    // OLE keeps the registered target of a window in this property.
    auto* target = static_cast<IDropTarget*>(GetPropA(editor, "OleDropTargetInterface"));
    if (check(editor && target, "the editor window has a registered drop target")) {
        EmptyData data;
        POINT centre{120, 160};
        ClientToScreen(editor, &centre);
        const POINTL at{centre.x, centre.y};
        const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        DWORD effect = offered;
        target->DragEnter(&data, MK_LBUTTON, at, &effect);
        check(effect == DROPEFFECT_NONE, format("drag-enter answers effect %lu", effect));
        effect = offered;
        target->DragOver(MK_LBUTTON, at, &effect);
        check(effect == DROPEFFECT_NONE, format("drag-over answers effect %lu", effect));
        effect = offered;
        target->Drop(&data, 0, at, &effect);
        check(effect == DROPEFFECT_NONE, format("drop answers effect %lu", effect));
        effect = offered;
        target->DragEnter(&data, MK_LBUTTON, at, &effect);
        target->DragLeave();
    }
    p.call(effEditClose);
    window.pump();
}

}  // namespace validator
