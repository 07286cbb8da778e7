// The host window's contact pairs: the scenario's pairs in a list of their own, and the contact
// options of the selected pairs, obtained from factory slot 6 with the scenario's analysis type
// and the first pair's contact type, as the host application does.

#include <set>
#include <stdexcept>

#include "apps/orvdlg/ContactCommands.h"
#include "apps/orvdlg/HostWindow.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

// Column widths in dialog units.
constexpr int kNameColumn = 132, kIdColumn = 22, kSidesColumn = 92;

int ToPixels(const CDialog& dialog, int cx) {
    RECT rect{0, 0, cx, 0};
    dialog.MapDialogRect(&rect);
    return rect.right;
}

// "Surfaces 1 and 2", "Parts 3 and 4".
std::wstring Sides(const OrvDbRecord::DbContactPair& pair) {
    const bool parts = pair.GetSideKind() == OrvDbRecord::StorageMapItem::Kind::Part;
    return std::wstring(parts ? L"Parts " : L"Surfaces ") + std::to_wstring(pair.GetFirstId()) + L" and " +
           std::to_wstring(pair.GetSecondId());
}

}  // namespace

void HostWindow::RefreshContacts(const std::vector<std::uint32_t>& select) {
    auto* list = static_cast<CListCtrl*>(GetDlgItem(IDC_CONTACTS));
    if (list->GetColumnWidth(0) == 0) {  // the first run: the columns
        list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        list->InsertColumn(0, L"Contact pair", LVCFMT_LEFT, ToPixels(*this, kNameColumn));
        list->InsertColumn(1, L"Id", LVCFMT_RIGHT, ToPixels(*this, kIdColumn));
        list->InsertColumn(2, L"Sides", LVCFMT_LEFT, ToPixels(*this, kSidesColumn));
    }
    list->DeleteAllItems();
    const std::set<std::uint32_t> selected(select.begin(), select.end());
    int row = 0;
    for (const auto& [id, pair] : session_.Scenario().GetContactPairs()) {
        row = list->InsertItem(row, orv::Utf8ToWide(pair->GetName()).c_str());
        list->SetItemText(row, 1, std::to_wstring(id).c_str());
        list->SetItemText(row, 2, Sides(*pair).c_str());
        list->SetItemData(row, id);
        if (selected.count(id)) list->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        ++row;
    }
}

void HostWindow::OnModifyContacts() {
    const auto* list = static_cast<CListCtrl*>(GetDlgItem(IDC_CONTACTS));
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    std::vector<OrvDbRecord::DbContactPair*> pairs;
    std::vector<std::uint32_t> ids;
    for (int row = list->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list->GetNextItem(row, LVNI_SELECTED)) {
        const auto id = std::uint32_t(list->GetItemData(row));
        if (OrvDbRecord::DbContactPair* pair = scenario.FindContactPair(id)) {
            pairs.push_back(pair);
            ids.push_back(id);
        }
    }
    if (pairs.empty()) {
        Refuse(L"Select the contact pairs to modify.");
        return;
    }
    ContactRun run;
    try {
        run = RunContactOptions(scenario, ContactKind::Choose, pairs, this, false);
    } catch (const std::exception& error) {
        Refuse(orv::Utf8ToWide(error.what()));
        return;
    }
    if (run.result != IDOK) {
        SetStatus(L"Contact options not changed.");
        return;
    }
    SetModified(true);
    RefreshContacts(ids);
    SetStatus(L"Contact options (" + orv::Utf8ToWide(run.object) + L") applied to " + std::to_wstring(run.applied) +
              (run.applied == 1 ? L" contact pair." : L" contact pairs."));
}

}  // namespace orvdlg
