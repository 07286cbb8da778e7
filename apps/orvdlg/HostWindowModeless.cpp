// The host window's side of the modeless initial fluid volume dialog: New... offers a volume of
// each region shape, the list shows the scenario's volumes after its FEA objects, and Modify on
// one of them opens the dialog beside the window, which stays usable while it is open.

#include <stdexcept>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelessCommands.h"
#include "apps/orvdlg/ViewPickWindow.h"
#include "dialogs/modeless/InitialFluidVolumeDlg.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/Utf8.h"

namespace orvdlg {

namespace {
const wchar_t* const kShapeNames[] = {L"Hexahedral", L"Spherical", L"Cylindrical"};
}  // namespace

// The pick window goes first: it listens to the view of the modeless host.
HostWindow::~HostWindow() { pickWindow_.reset(); }

void HostWindow::AddFluidVolumeChoices(std::vector<HostObjectType>& types) const {
    for (std::uint32_t shape = 0; shape < 3; ++shape)
        types.push_back({((shape + 1) << 16) | kFluidVolumeTypeCode,
                         std::wstring(L"Initial Fluid Volume (") + kShapeNames[shape] + L")"});
}

void HostWindow::AddFluidVolumeRows(CListCtrl& list, const std::set<std::uint32_t>& selected, bool& focused) {
    bool first = true;
    for (const auto& [id, volume] : session_.Scenario().GetInitialFluidVolumes()) {
        const std::uint32_t data = kFluidVolumeRow | id;
        const int row = list.InsertItem(list.GetItemCount(), first ? L"Initial Fluid Volume" : L"");
        first = false;
        list.SetItemText(row, 1, std::to_wstring(id).c_str());
        const auto& record = volume->GetRecord();
        list.SetItemText(row, 2,
                         orv::Utf8ToWide(record.GetText(RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kDescriptionOffset,
                                                        RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kDescriptionSize))
                             .c_str());
        list.SetItemData(row, data);
        if (selected.count(data)) {
            const UINT state = focused ? LVIS_SELECTED : LVIS_SELECTED | LVIS_FOCUSED;
            list.SetItemState(row, state, state);
            focused = true;
        }
    }
}

void HostWindow::OpenFluidVolume(std::optional<std::uint32_t> volume, std::uint32_t shape) {
    if (!modeless_) {
        modeless_ = std::make_unique<ModelessHost>(session_);
        modeless_->SetReport([this](const std::string& line) {
            SetModified(true);
            const std::uint32_t id = std::uint32_t(std::stoul(line.substr(line.find_last_of(' ') + 1)));
            Refresh({kFluidVolumeRow | id});
            SetStatus(orv::Utf8ToWide(line.substr(line.find("OnOK, ") + 6)) + L".");
        });
    }
    if (modeless_->OpenDialog()) {
        modeless_->OpenDialog()->BringWindowToTop();
        SetStatus(L"The initial fluid volume dialog is already open.");
        return;
    }
    try {
        modeless_->Open(volume, shape, this);
    } catch (const std::runtime_error& failure) {
        Refuse(orv::Utf8ToWide(failure.what()) + L".");
        return;
    }
    if (!pickWindow_) pickWindow_ = std::make_unique<ViewPickWindow>(*modeless_);
    pickWindow_->Open(this, modeless_->OpenDialog());
    SetStatus(L"Pick the points of the region in the view (a click takes the nearest node or surface point), or type "
              L"a node id or a point and press Enter.");
}

}  // namespace orvdlg
