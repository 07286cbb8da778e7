#include "apps/orvdlg/ModelessEvents.h"

namespace orvdlg {

void DemoModelessEvents::GetRelativeFromPoint(double* const point) const {
    for (int i = 0; i < 3; ++i) point[i] = relativeFrom_[i];
}

void DemoModelessEvents::SetRelativeFromPoint(const double* const point) {
    NoteCall("SetRelativeFromPoint");
    if (point)
        for (int i = 0; i < 3; ++i) relativeFrom_[i] = point[i];
}

void DemoModelessEvents::ShouldUseRelativeCoordinates(bool use) {
    NoteCall("ShouldUseRelativeCoordinates");
    useRelative_ = use;
}

bool DemoModelessEvents::ShouldUseRelativeCoordinates() const { return useRelative_; }

void DemoModelessEvents::OnOK() {
    NoteCall("OnOK");
    if (onOK_) onOK_();
}

void DemoModelessEvents::OnCancel() {
    NoteCall("OnCancel");
    if (onCancel_) onCancel_();
}

void DemoModelessEvents::OnHelpButtonClicked(unsigned long helpId) {
    NoteCall("OnHelpButtonClicked");
    lastHelpId_ = helpId;
}

void DemoModelessEvents::SetStatusMessage(const wchar_t* message) {
    NoteCall("SetStatusMessage");
    status_ = message ? message : L"";
}

void DemoModelessEvents::PickPoint(CPoint point, double model[3]) {
    NoteCall("PickPoint");
    // The node or surface point under the mouse, unless the pick was of a known point.
    Xyz xyz = view_.PointAt(point).xyz;
    if (pickTarget_ && view_.ModelToView(*pickTarget_) == point) xyz = *pickTarget_;
    pickTarget_.reset();
    for (int i = 0; i < 3; ++i) model[i] = xyz[i];
}

// A known point is taken wherever it lies, also outside the part of the model in sight.
DemoModelessEvents::SnapZoneStatus DemoModelessEvents::AcceptPointPick(CPoint point) {
    return pickTarget_ && view_.ModelToView(*pickTarget_) == point ? SnapZoneStatus(1) : NoAnswer;
}

std::vector<std::string> DemoModelessEvents::TakeCalls() {
    std::vector<std::string> calls;
    calls.swap(calls_);
    return calls;
}

}  // namespace orvdlg
