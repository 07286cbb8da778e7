#pragma once
// The mass-transport loads of one mass species: initial concentration (surfaces 181, nodes
// 182), applied concentration (nodes 185, surfaces 184, parts 183), part mass generation
// (186), surface mass flux (187) and nodal mass source (188). Each binds a species combo to
// field 272, its value to field 280 and, where it has one, a load curve to field 276.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

namespace DataModelDialogs {

// The controls and strings of one species dialog; kNoControl where it has none.
struct SpeciesLoadLayout {
    UINT templateId;
    std::uint32_t typeCode;
    UINT speciesCombo;
    UINT valueEdit;
    UINT loadCurveEdit = kNoControl;
    UINT loadCurveSpin = kNoControl;
    UINT curveButton = kNoControl;
    UINT curveTitle = 0;
    bool baseExchangeFirst = false;  // the nodal concentration dialogs
    bool refuseNegative = false;     // mass generation and mass source
};

class SpeciesLoadDlg : public FeaObjectDialogBase {
public:
    static constexpr std::size_t kSpeciesOffset = 272;
    static constexpr std::size_t kLoadCurveOffset = 276;
    static constexpr std::size_t kValueOffset = 280;
    static constexpr UINT IDS_NEGATIVE_MAGNITUDE = 3157;

    const SpeciesLoadLayout& Layout() const { return layout_; }

protected:
    SpeciesLoadDlg(const SpeciesLoadLayout& layout, CWnd* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    void ExchangeOwnFields(CDataExchange* dx);

    SpeciesLoadLayout layout_;
};

class SurfaceInitialConcentrationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3073;
    static constexpr std::uint32_t kTypeCode = 181;
    static constexpr UINT IDC_VALUE = 1424, IDC_SPECIES = 1426;
    explicit SurfaceInitialConcentrationDlg(CWnd* parent = nullptr);
};

class NodalInitialConcentrationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3082;
    static constexpr std::uint32_t kTypeCode = 182;
    static constexpr UINT IDC_VALUE = 1433, IDC_SPECIES = 1435;
    explicit NodalInitialConcentrationDlg(CWnd* parent = nullptr);
};

class NodalAppliedConcentrationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3093;
    static constexpr std::uint32_t kTypeCode = 185;
    static constexpr UINT IDC_VALUE = 1451, IDC_SPECIES = 1453, IDC_LOAD_CURVE = 1455, IDC_LOAD_CURVE_SPIN = 1456,
                          IDC_CURVE = 1457;
    explicit NodalAppliedConcentrationDlg(CWnd* parent = nullptr);
};

class SurfaceAppliedConcentrationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3103;
    static constexpr std::uint32_t kTypeCode = 184;
    static constexpr UINT IDC_VALUE = 1442, IDC_SPECIES = 1444, IDC_LOAD_CURVE = 1446, IDC_LOAD_CURVE_SPIN = 1447,
                          IDC_CURVE = 1448;
    explicit SurfaceAppliedConcentrationDlg(CWnd* parent = nullptr);
};

class PartAppliedConcentrationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3113;
    static constexpr std::uint32_t kTypeCode = 183;
    static constexpr UINT IDC_VALUE = 3115, IDC_SPECIES = 3117, IDC_LOAD_CURVE = 3119, IDC_LOAD_CURVE_SPIN = 3120,
                          IDC_CURVE = 3121;
    explicit PartAppliedConcentrationDlg(CWnd* parent = nullptr);
};

class PartMassGenerationDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3123;
    static constexpr std::uint32_t kTypeCode = 186;
    static constexpr UINT IDC_VALUE = 1478, IDC_SPECIES = 1480, IDC_LOAD_CURVE = 1482, IDC_LOAD_CURVE_SPIN = 1483,
                          IDC_CURVE = 1484;
    explicit PartMassGenerationDlg(CWnd* parent = nullptr);
};

class SurfaceMassFluxDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3132;
    static constexpr std::uint32_t kTypeCode = 187;
    static constexpr UINT IDC_VALUE = 1469, IDC_SPECIES = 1471, IDC_LOAD_CURVE = 1473, IDC_LOAD_CURVE_SPIN = 1474,
                          IDC_CURVE = 1475;
    explicit SurfaceMassFluxDlg(CWnd* parent = nullptr);
};

class NodalMassSourceDlg : public SpeciesLoadDlg {
public:
    static constexpr UINT IDD = 3142;
    static constexpr std::uint32_t kTypeCode = 188;
    static constexpr UINT IDC_VALUE = 1460, IDC_SPECIES = 1462, IDC_LOAD_CURVE = 1464, IDC_LOAD_CURVE_SPIN = 1465,
                          IDC_CURVE = 1466;
    explicit NodalMassSourceDlg(CWnd* parent = nullptr);
};

}  // namespace DataModelDialogs
