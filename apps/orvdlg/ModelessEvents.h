#pragma once
// The demo host's answers to a modeless dialog: it turns view points into model points through
// its rendering system, keeps the relative-from point, the use-relative flag and the last status
// message, and lists the callbacks it received so that scripts can check them.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/factory/DataModelDialogs.h"
#include "host/graphics/RenderingSystem.h"

namespace orvdlg {

class DemoModelessEvents : public DataModelDialogs::AModelessFeaObjectPropertiesDialog::Events {
public:
    using Xyz = std::array<double, 3>;
    explicit DemoModelessEvents(GfxUtil::RenderingSystem& view) : view_(view) {}

    // What OnOK does besides being listed (the host writes the record).
    void SetOnOK(std::function<void()> onOK) { onOK_ = std::move(onOK); }
    void SetOnCancel(std::function<void()> onCancel) { onCancel_ = std::move(onCancel); }
    // A pick whose model point is known exactly (a script's or a node's): PickPoint answers it for
    // its view point instead of the node or surface point under it.
    void SetPickTarget(const Xyz& model) { pickTarget_ = model; }

    void GetRelativeFromPoint(double* const point) const override;
    void SetRelativeFromPoint(const double* const point) override;
    void ShouldUseRelativeCoordinates(bool use) override;
    bool ShouldUseRelativeCoordinates() const override;
    void OnOK() override;
    void OnCancel() override;
    void OnHelpButtonClicked(unsigned long helpId) override;
    void SetStatusMessage(const wchar_t* message) override;
    void PickPoint(CPoint point, double model[3]) override;
    SnapZoneStatus AcceptPointPick(CPoint point) override;

    const Xyz& GetRelativeFrom() const { return relativeFrom_; }
    const std::wstring& GetStatus() const { return status_; }
    unsigned long GetLastHelpId() const { return lastHelpId_; }
    // The callbacks received since the last call, in order; also clears the list.
    std::vector<std::string> TakeCalls();
    // Called by SetDialog's caller so that it is listed too.
    void NoteCall(std::string name) { calls_.push_back(std::move(name)); }

private:
    GfxUtil::RenderingSystem& view_;
    Xyz relativeFrom_{};
    bool useRelative_ = false;
    std::wstring status_;
    unsigned long lastHelpId_ = 0;
    std::optional<Xyz> pickTarget_;
    std::vector<std::string> calls_;
    std::function<void()> onOK_, onCancel_;
};

}  // namespace orvdlg
