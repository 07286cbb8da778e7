#pragma once
// The interactive host's main window: the FEA objects of the model's current design scenario
// grouped by type, and the host application's work on them, done through the dialog factory
// exactly as the host does (create, modify a selection of one type, answer pick requests),
// with saving of the model file. A kernel dialog, so every front end shows it and tests drive
// it through the kernel's input functions.

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <memory>

#include "apps/orvdlg/ModelSession.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace orvdlg {

// Where the host window gets the modal property dialog of a type code: the library's factory,
// or a stand-in in tests. Null: no dialog for the code.
using FeaDialogSource = std::function<DataModelDialogs::AFeaObjectPropertiesDialog*(std::uint32_t typeCode)>;
FeaDialogSource FactoryDialogSource();

class ModelessHost;
class ViewPickWindow;

// The choices of New... that open the modeless initial fluid volume dialog: one per region
// shape, type code 120 in the low 16 bits and shape + 1 above.
inline constexpr std::uint32_t kFluidVolumeTypeCode = 120;
inline bool IsFluidVolumeChoice(std::uint32_t code) { return (code & 0xFFFF) == kFluidVolumeTypeCode && code > 0xFFFF; }
// List rows of initial fluid volumes carry this bit with the volume's id as item data.
inline constexpr std::uint32_t kFluidVolumeRow = 0x80000000u;

// A type of the host's type table that has a dialog: its code and how the host names it.
struct HostObjectType {
    std::uint32_t typeCode = 0;
    std::wstring name;  // "Heat Generation", "Applied Temperature (surface)"
};
// The host's name of a type code (a name shared by several codes gets its geometry kind);
// "Type N" for a code the host does not know.
std::wstring HostTypeName(std::uint32_t typeCode);
// The types of the host's table for which `source` gives a dialog, by name.
std::vector<HostObjectType> CreatableTypes(const FeaDialogSource& source);

class HostWindow : public CDialog {
public:
    static constexpr int IDC_OBJECTS = 1001;
    static constexpr int IDC_NEW = 1002;
    static constexpr int IDC_MODIFY = 1003;
    static constexpr int IDC_SAVE = 1004;
    static constexpr int IDC_SAVE_AS = 1005;
    static constexpr int IDC_EXIT = 1006;
    static constexpr int IDC_STATUS = 1007;
    // The film coefficient tools, as the surface convection load dialog reaches them.
    static constexpr int IDC_CALCULATOR = 1008;
    static constexpr int IDC_LIBRARIES = 1009;
    // The model settings dialogs.
    static constexpr int IDC_UNITS = 1010;
    static constexpr int IDC_SPECIES = 1011;
    // The scenario's contact pairs; Modify... opens the contact options of the selected ones
    // while this list has (or last had) the focus.
    static constexpr int IDC_CONTACTS = 1012;
    // The chooser of New...: the type list and the geometry the new object is applied to.
    static constexpr int IDC_NEW_TYPES = 1101;
    static constexpr int IDC_NEW_GEOMETRY = 1102;

    // The window edits the model of `session` (loaded); `untitledName` names a model that has
    // no file yet (the embedded sample) in the title and as Save As's suggestion.
    HostWindow(ModelSession& session, std::string untitledName, FeaDialogSource source = FactoryDialogSource());
    ~HostWindow() override;

    bool Modified() const { return modified_; }
    // The model's file; empty while it has none.
    std::string Path() const;
    // The file name the title shows: the model file's name, else the untitled name.
    std::string DisplayName() const;
    // "orvdlg - bracket.json", with " *" while there are unsaved changes.
    std::wstring TitleText() const;
    // The last action, as the status line shows it.
    const std::wstring& Status() const { return status_; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;      // Enter: Modify
    void OnCancel() override;  // Escape, the close button: Exit

private:
    void Refresh(const std::vector<std::uint32_t>& select);
    std::vector<std::uint32_t> SelectedIds() const;
    void OnNew();
    void OnModify();
    bool OnSave();
    bool OnSaveAs();
    void OnExit();
    void OnCalculator();
    void OnLibraries();
    // The model settings dialogs (HostWindowSettings.cpp): the model unit system, and a mass
    // species chosen from the scenario's (or a new one).
    void OnUnits();
    void OnSpecies();
    // The contact pairs (HostWindowContacts.cpp): the list, and the contact options of the
    // selected pairs through factory slot 6, applied on OK.
    void RefreshContacts(const std::vector<std::uint32_t>& select);
    void OnModifyContacts();
    // Runs the dialog until it ends with OK or Cancel, answering its pick requests through the
    // pick prompt; false when it ended without an answer from the person.
    // Marks the model changed when a dialog changed any of the scenario's functions.
    void NoteChangedFunctions();
    bool RunWithPicks(DataModelDialogs::AFeaObjectPropertiesDialog& dialog, std::uint32_t& result);
    // The modeless initial fluid volume dialog (HostWindowModeless.cpp): the New... choices of
    // the three shapes, its list rows, and opening it on a new or an existing volume.
    void AddFluidVolumeChoices(std::vector<HostObjectType>& types) const;
    void AddFluidVolumeRows(CListCtrl& list, const std::set<std::uint32_t>& selected, bool& focused);
    void OpenFluidVolume(std::optional<std::uint32_t> volume, std::uint32_t shape);
    bool SaveTo(const std::string& path);
    void SetStatus(std::wstring text);
    // Shows a refusal and puts it on the status line.
    void Refuse(const std::wstring& text);
    void UpdateTitle();
    void SetModified(bool modified);

    ModelSession& session_;
    std::string untitledName_;
    FeaDialogSource source_;
    orv::res::DialogTemplate template_;
    bool modified_ = false;
    std::wstring status_;
    bool contactsActive_ = false;  // the contact pair list had the focus last
    std::unique_ptr<ModelessHost> modeless_;
    std::unique_ptr<ViewPickWindow> pickWindow_;  // picks in the view while the dialog is open
};

}  // namespace orvdlg
