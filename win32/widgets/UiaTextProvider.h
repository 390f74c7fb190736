#pragma once

#include <uiautomationclient.h>

// The provider side of UI Automation's Text pattern (ITextProvider, ITextRangeProvider and
// their types), as UIAutomationCore.dll defines them: MinGW-w64's uiautomationcore.h has
// the element interfaces only. The names are the system's.

#ifndef __ITextRangeProvider_INTERFACE_DEFINED__

// NOLINTBEGIN(readability-identifier-naming)
enum TextUnit {
    TextUnit_Character = 0,
    TextUnit_Format = 1,
    TextUnit_Word = 2,
    TextUnit_Line = 3,
    TextUnit_Paragraph = 4,
    TextUnit_Page = 5,
    TextUnit_Document = 6
};
enum TextPatternRangeEndpoint {
    TextPatternRangeEndpoint_Start = 0,
    TextPatternRangeEndpoint_End = 1
};
enum SupportedTextSelection {
    SupportedTextSelection_None = 0,
    SupportedTextSelection_Single = 1,
    SupportedTextSelection_Multiple = 2
};
struct UiaPoint {
    double x;
    double y;
};

// 5347ad7b-c355-46f8-aff5-909033582f63
struct ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                                       ITextRangeProvider* target,
                                                       enum TextPatternRangeEndpoint targetEndpoint,
                                                       int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(enum TextUnit unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value,
                                                    BOOL backward, ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute,
                                                        VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(enum TextUnit unit, int count, int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint,
                                                         enum TextUnit unit, int count,
                                                         int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider* target,
                        enum TextPatternRangeEndpoint targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) = 0;
};
__CRT_UUID_DECL(ITextRangeProvider, 0x5347ad7b, 0xc355, 0x46f8, 0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58,
                0x2f, 0x63)

// 3589c92c-63f3-4367-99bb-ada653b77cf2
struct ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                                     ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(struct UiaPoint point,
                                                     ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_SupportedTextSelection(enum SupportedTextSelection* result) = 0;
};
__CRT_UUID_DECL(ITextProvider, 0x3589c92c, 0x63f3, 0x4367, 0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c,
                0xf2)
// NOLINTEND(readability-identifier-naming)

#endif

// Numbers that MinGW-w64's uiautomationclient.h lacks: UIA_Text_TextSelectionChangedEventId,
// UIA_Text_TextChangedEventId and UIA_EditControlTypeId.
inline constexpr EVENTID TextSelectionChangedEventId = 20014;
inline constexpr EVENTID TextChangedEventId = 20015;
inline constexpr CONTROLTYPEID EditControlTypeId = 50004;
