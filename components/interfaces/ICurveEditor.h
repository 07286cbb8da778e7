#pragma once
// The curve editor component: a modal dialog in which a person edits the points (x, y) of a
// curve in a table, with a plot of the curve. Callers create it through the class registry:
//
//     ICurveEditor* editor = nullptr;
//     CoCreateInstance(CLSID_CurveEditor, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
//                      IID_ICurveEditor, reinterpret_cast<void**>(&editor));
//     editor->SetParentWindow(&hwnd32); editor->SetTitle(&title); ...
//     editor->SetPoints(&count, &points, &ignored);
//     editor->Edit(&accepted); if (accepted) editor->GetPoints(&count, &points);
//     editor->Release();
//
// Points travel in a one-dimensional SAFEARRAY of VT_RECORD (lower bound 0) whose records are
// CurvePoint {double x; double y;} of the editor's type library. The interface is dual: the
// same operations are callable by name through IDispatch (see docs/curves.md).

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/SafeArray.h"

inline constexpr CLSID CLSID_CurveEditor{
    0xB887B1AC, 0x7A68, 0x401F, {0xB9, 0x82, 0xB1, 0xB5, 0xCF, 0xC8, 0x13, 0x86}};
inline constexpr IID IID_ICurveEditor{
    0x8617E773, 0x2DF5, 0x4983, {0x99, 0x06, 0xE7, 0xE7, 0xFC, 0xEA, 0xD7, 0x5A}};
// The editor's type library and its point record type.
inline constexpr GUID LIBID_CurveEditorLib{
    0x32C9088B, 0x9D20, 0x46BD, {0x8F, 0x9C, 0x03, 0x81, 0xE3, 0xF6, 0x5B, 0x5A}};
inline constexpr GUID GUID_CurvePointRecord{
    0xAEE533C5, 0x46A4, 0x4E6A, {0xA9, 0x08, 0x02, 0x96, 0xE2, 0x4D, 0x59, 0x6A}};
inline constexpr wchar_t kCurveEditorProgId[] = L"OrvCurve.CurveEditor";
// The type library version the component registers.
inline constexpr WORD kCurveEditorLibMajor = 1;
inline constexpr WORD kCurveEditorLibMinor = 0;

// The record of one point, as the type library describes it (16 bytes).
struct CurvePointRecord {
    double x;
    double y;
};

// Editor modes: 2 edits a curve whose points keep the order of their x values.
inline constexpr LONG kCurveEditorModeTable = 1;
inline constexpr LONG kCurveEditorModeCurve = 2;

// Slots 0 to 2 are IUnknown's, 3 to 6 IDispatch's.
struct ICurveEditor : IDispatch {
    // 7, 8: the owner window of the dialog (the low 32 bits of its handle).
    virtual HRESULT SetParentWindow(LONG* hwnd) = 0;
    virtual HRESULT GetParentWindow(LONG* hwnd) = 0;
    // 9: copies the points in (count elements of *points; fewer when the array is shorter);
    // *changed receives VARIANT_TRUE. E_INVALIDARG for an array that is not of CurvePoint records.
    virtual HRESULT SetPoints(LONG* count, SAFEARRAY** points, VARIANT_BOOL* changed) = 0;
    // 10: the edited points: *points is destroyed and replaced by a new array, *count its size.
    virtual HRESULT GetPoints(LONG* count, SAFEARRAY** points) = 0;
    // 11: runs the dialog modally; VARIANT_TRUE when the person accepted with OK. The edited
    // points replace the given ones only then.
    virtual HRESULT Edit(VARIANT_BOOL* accepted) = 0;
    // 12, 13: the mode (kCurveEditorMode*).
    virtual HRESULT SetMode(LONG* mode) = 0;
    virtual HRESULT GetMode(LONG* mode) = 0;
    // 14 to 23: window title, second and third caption (shown above the table), x and y axis
    // captions. Set copies the text; Get returns a new BSTR the caller frees.
    virtual HRESULT SetTitle(BSTR* text) = 0;
    virtual HRESULT GetTitle(BSTR* text) = 0;
    virtual HRESULT SetCaption2(BSTR* text) = 0;
    virtual HRESULT GetCaption2(BSTR* text) = 0;
    virtual HRESULT SetCaption3(BSTR* text) = 0;
    virtual HRESULT GetCaption3(BSTR* text) = 0;
    virtual HRESULT SetXAxisCaption(BSTR* text) = 0;
    virtual HRESULT GetXAxisCaption(BSTR* text) = 0;
    virtual HRESULT SetYAxisCaption(BSTR* text) = 0;
    virtual HRESULT GetYAxisCaption(BSTR* text) = 0;

protected:
    ~ICurveEditor() = default;
};
ORV_INTERFACE(ICurveEditor, IDispatch, IID_ICurveEditor);
