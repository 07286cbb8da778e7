#pragma once
// The surface remote load dialog (type code 122, template 3160): a force and a moment, each
// with its magnitude and direction (typed or picked), acting at a remote point, in the
// coordinate system of the loads, with a load curve. The rigid links and the centroid the
// template also holds are not offered.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class SurfaceRemoteLoadDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 122;

    explicit SurfaceRemoteLoadDlg(CWnd* parent = nullptr);

protected:
    // The hidden centroid block closes up.
    BOOL OnInitDialog() override;
    // The coordinate systems fill the combo before the first exchange.
    void PrepareControls() override;
    // "Curve..." is of no use while the objects disagree on the load curve.
    void DoDataExchange(CDataExchange* dx) override;
    // A picked centroid is a specified point without rigid links.
    void OnResume(std::uint32_t code) override;
};

}  // namespace DataModelDialogs
