#pragma once
// The surface variable load dialog (type code 55, template 3189): a surface load whose magnitude
// is a function of r, s and t in the load's coordinate system. Beside the load's own fields it
// chooses, creates, renames and edits the scenario's functions, keeps a function's coordinate
// system type in step with the load's coordinate system, shows the function's smallest and
// largest value over the surface's nodes as the person types, and opens the primitives popup
// and the viewer. Functions changed here are changed in the scenario at once (Cancel keeps them).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/variableloads/RSTLegendWnd.h"

namespace OrvDbRecord {
class DbShape;
class DbNode;
}  // namespace OrvDbRecord

namespace DataModelDialogs {

class SurfaceShapedLoadDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 55;
    // The deferred function change posted to itself; lParam: a heap copy of the text for the
    // expression, or 0.
    static constexpr UINT kDeferredFunctionChange = WM_USER + 100;
    // The pause after the last keystroke before the expression is checked over the nodes.
    static constexpr UINT kExtremesDelayMs = 400;

    explicit SurfaceShapedLoadDlg(CWnd* parent = nullptr);
    ~SurfaceShapedLoadDlg() override;

    // 0 when the function is fine, else the control to focus.
    UINT CommitFunction();

protected:
    BOOL OnInitDialog() override;
    void PrepareControls() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;

private:
    OrvDbRecord::DbDesignScenario* Scenario() const;
    const OrvDbRecord::DbCoordinateSystem* ChosenSystem() const;
    std::uint32_t ChosenType() const;
    OrvDbRecord::DbShape* CurrentFunction() const;
    std::vector<const OrvDbRecord::DbNode*> LoadNodes() const;
    std::wstring StoredExpression(const OrvDbRecord::DbShape& function) const;
    std::wstring ExpressionText() const;
    std::wstring NameText() const;

    void FillFunctionCombo();
    int FindFunctionItem(std::uint32_t id) const;
    // The item whose text is `name` without regard to case; -1 when none.
    int FindItemByName(const std::wstring& name) const;
    void RefreshNewFunctionImage();
    void CreateFunction(const std::wstring& name);
    void UpdateFunction(const std::wstring& name);
    void OnFunctionChange();
    void OnCoordinateSystemChange();
    void OnNameTyped();
    // 0 nothing to do, 1 convert in place, 2 a copy is needed.
    int CompatibilityCheck() const;
    void StartCopy();
    void EnableViewAndOk();
    void EnableTraction();
    void UpdateLegends();
    void OnPrimitives();
    void OnView();
    void ScheduleExtremes();
    void ShowExtremes();
    void DisableFunctionControls();

    CImageList images_;
    std::array<RSTLegendWnd, 4> legends_;
    std::uint32_t lastSystem_ = 0;
    std::uint32_t current_ = 0;
    bool inNameTyping_ = false;
    bool functionControlsOff_ = false;
};

}  // namespace DataModelDialogs
