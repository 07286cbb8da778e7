#pragma once
// The coefficient library dialogs: the browser "Surface Film/Convection Coefficient Library"
// (pick, add, edit, rename and delete coefficients; create, import and delete libraries), the
// save dialog "Save Film/Convection Coefficient" and the name prompt of both.
//
// Each dialog loads its own copy of the library list when it opens and saves a library as
// soon as a change to it is confirmed; a save that fails is reported and the entries stay as
// they are in the dialog.

#include <cstddef>
#include <memory>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientLibraryList.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

// The name of a new library (library mode) or coefficient; OK only while it is not empty.
class NewLibCoeffDlg : public CDialog {
public:
    explicit NewLibCoeffDlg(bool libraryMode, CWnd* parent = nullptr);
    const CString& GetName() const { return name_; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    bool libraryMode_;
    CString name_;
};

class SurfaceConvectionCoefficientLibDlg : public CDialog {
public:
    // Entries are shown and returned in `units`.
    explicit SurfaceConvectionCoefficientLibDlg(const OrvDbRecord::UnitSystem& units, CWnd* parent = nullptr);
    ~SurfaceConvectionCoefficientLibDlg() override;

    // After OK: the chosen entry, converted into the dialog's unit system.
    const ConvectionCoefficientInputs& GetChosenInputs() const { return chosen_; }
    const CString& GetChosenName() const { return chosenName_; }
    const ConvectionCoefficientLibraryList& GetLibraries() const { return list_; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    ConvectionCoefficientLibrary* Selected();
    bool SelectedEditable();
    void FillLibraries(int select);
    void FillCoefficients();
    void SetCoefficientText(int item, double coefficient);
    void UpdateEnabling();
    // Saves the library (or the list), reporting a failure.
    bool SaveLibrary(ConvectionCoefficientLibrary& library);
    bool SaveList();
    bool AskLibraryName(CString& name);
    void OnCreate();
    void OnImport();
    void OnDeleteLibrary();
    void OnAdd();
    // The calculator on the entry of the item; a new entry is removed again on Cancel.
    void EditItem(int item, bool isNew);
    void OnDeleteCoefficients();
    void OnEndLabelEdit(NMLVDISPINFO* info, LRESULT* result);

    OrvDbRecord::UnitSystem units_;
    ConvectionCoefficientInputs chosen_;
    CString chosenName_;
    ConvectionCoefficientLibraryList list_;
    CListCtrl coefficients_;
};

class SaveSurfaceConvectionCoefficientDlg : public CDialog {
public:
    static constexpr int kInPlaceEdit = 1623;

    SaveSurfaceConvectionCoefficientDlg(const ConvectionCoefficientInputs& inputs, CWnd* parent = nullptr);
    ~SaveSurfaceConvectionCoefficientDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    // The list index of the selected list box item; npos for none or "New...".
    std::size_t SelectedLibrary() const;
    void UpdateEnabling();
    void OpenInPlaceEdit();
    void CloseInPlaceEdit(bool commit);

    ConvectionCoefficientInputs inputs_;
    ConvectionCoefficientLibraryList list_;
    // The list index of each list box item before "New..." (only editable libraries are shown).
    std::vector<std::size_t> shown_;
    std::unique_ptr<CEdit> inPlace_;
    bool closingInPlace_ = false;
};

}  // namespace DataModelDialogs
