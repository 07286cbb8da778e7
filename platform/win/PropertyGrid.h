#pragma once
// The property grid: categories that expand and collapse, each with items in two columns (a
// caption and a value), and a help pane under them that shows the selected item's caption and
// description. An enumeration item offers a list of choices, each a text with item data.
//
// The grid owns its categories and items. Setting a value from code is quiet; a person's
// choice (a click in the list, Enter on a highlighted choice, a typed letter) changes the value
// and sends the parent XTPWM_PROPERTYGRID_NOTIFY with XTP_PGN_ITEMVALUE_CHANGED and the item.
// Keyboard: Up/Down (Home/End) move between rows, Left/Right collapse and expand a category,
// Enter or F4 opens an item's choices (Enter on a category toggles it), Up/Down and Enter pick
// in the open list and Escape closes it, a typed letter picks the next choice that starts with
// it.

#include <memory>
#include <vector>

#include "platform/win/CWnd.h"

// The grid's notification to its parent: wParam the code, lParam the item.
inline constexpr UINT XTPWM_PROPERTYGRID_NOTIFY = WM_APP + 0x2F0;
inline constexpr WPARAM XTP_PGN_SELECTION_CHANGED = 2;
inline constexpr WPARAM XTP_PGN_ITEMVALUE_CHANGED = 3;

// The grid's window class.
inline constexpr const wchar_t* kPropertyGridClass = L"OrvPropertyGrid";

class CXTPPropertyGridItem;

// The choices of an item: texts with item data, in the order added.
class CXTPPropertyGridItemConstraints {
public:
    struct Constraint {
        CString text;
        DWORD_PTR data = 0;
    };
    explicit CXTPPropertyGridItemConstraints(CXTPPropertyGridItem& owner) : owner_(owner) {}
    // Adds a choice; returns its index.
    int AddConstraint(LPCTSTR text, DWORD_PTR data = 0);
    void RemoveAll();
    int GetCount() const { return int(constraints_.size()); }
    CString GetAt(int index) const;
    DWORD_PTR GetConstraintData(int index) const;
    // The index of the choice with that text (exact), -1 when none.
    int FindConstraint(LPCTSTR text) const;
    // The index of the choice with that data, -1 when none.
    int FindConstraint(DWORD_PTR data) const;

private:
    CXTPPropertyGridItem& owner_;
    std::vector<Constraint> constraints_;
};

class CXTPPropertyGridItem {
public:
    explicit CXTPPropertyGridItem(LPCTSTR caption, LPCTSTR value = L"");
    virtual ~CXTPPropertyGridItem();
    CXTPPropertyGridItem(const CXTPPropertyGridItem&) = delete;
    CXTPPropertyGridItem& operator=(const CXTPPropertyGridItem&) = delete;

    // Adds a child (the item takes ownership); returns it.
    CXTPPropertyGridItem* AddChildItem(CXTPPropertyGridItem* item);
    int GetChildCount() const { return int(children_.size()); }
    CXTPPropertyGridItem* GetChild(int index) const;
    CXTPPropertyGridItem* GetParentItem() const { return parent_; }
    bool IsCategory() const { return category_; }

    CString GetCaption() const { return caption_; }
    void SetCaption(LPCTSTR caption);
    CString GetDescription() const { return description_; }
    void SetDescription(LPCTSTR description);
    CString GetValue() const { return value_; }
    // Sets the value from code: no notification, and ResetValue comes back to it.
    virtual void SetValue(CString value);
    BOOL GetReadOnly() const { return readOnly_; }
    void SetReadOnly(BOOL readOnly = TRUE);
    void Expand();
    void Collapse();
    BOOL IsExpanded() const { return expanded_; }
    void Select();
    BOOL IsSelected() const;
    // Restores the value the item had before a person last changed it (its last value set from
    // code); quiet.
    void ResetValue();

    CXTPPropertyGridItemConstraints* GetConstraints() { return &constraints_; }
    const CXTPPropertyGridItemConstraints* GetConstraints() const { return &constraints_; }
    // The grid window the item is shown in (null before it is added).
    HWND GetGridWindow() const { return grid_; }

    // Internal to the grid: a person's choice (no notification here), attachment.
    void SetValueByPerson(const CString& value);
    void AttachToGrid(HWND grid, CXTPPropertyGridItem* parent, bool category);
    void Changed() const;

protected:
    CString caption_;
    CString description_;
    CString value_;
    CString resetValue_;

private:
    CXTPPropertyGridItemConstraints constraints_;
    std::vector<std::unique_ptr<CXTPPropertyGridItem>> children_;
    CXTPPropertyGridItem* parent_ = nullptr;
    HWND grid_ = nullptr;
    bool category_ = false;
    BOOL readOnly_ = FALSE;
    BOOL expanded_ = FALSE;
};

// An item whose value is one of its choices, read and set by the choice's item data.
class CXTPPropertyGridItemEnum : public CXTPPropertyGridItem {
public:
    explicit CXTPPropertyGridItemEnum(LPCTSTR caption, int value = 0);
    // Shows the choice with that data (empty when no choice has it); quiet.
    void SetEnum(int value);
    // The data of the choice shown, else the value given last.
    int GetEnum() const;

private:
    int enumValue_;
};

class CXTPPropertyGrid : public CWnd {
public:
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    // Adds an expanded-on-demand category (owned by the grid); returns it.
    CXTPPropertyGridItem* AddCategory(LPCTSTR caption);
    int GetCategoryCount() const;
    CXTPPropertyGridItem* GetCategory(int index) const;
    void ResetContent();
    CXTPPropertyGridItem* GetSelectedItem() const;
    // The first item (categories included) with that caption, at any depth; null when none.
    CXTPPropertyGridItem* FindItem(LPCTSTR caption) const;
    void ShowHelp(BOOL show = TRUE);
    BOOL IsHelpVisible() const;
    // Height of the help pane in pixels.
    void SetHelpHeight(int height);
    int GetHelpHeight() const;
    // Only one look exists; kept for code written against themed grids.
    void SetTheme(int theme) { (void)theme; }
};
