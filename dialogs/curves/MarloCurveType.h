#pragma once
// The key layout, axis names and axis units of one family of curves in the settings database.
// Key operations return the key text, empty when the family has no such key.

#include <cstdint>

#include "platform/win/CString.h"

class _MarloCurveType {
public:
    virtual ~_MarloCurveType();

    virtual CString CurveCountKey(std::int32_t secondId) const;
    virtual CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const = 0;
    // Keys separated by "$" (empty pieces are skipped).
    virtual CString NameKey(std::int32_t curveId, std::int32_t secondId) const;
    virtual CString TypeKey(std::int32_t curveId, std::int32_t secondId) const;
    virtual std::int32_t DefaultType(std::int32_t curveId, std::int32_t secondId) const;
    virtual CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const = 0;
    virtual CString YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const = 0;

    // The string table texts of the axis names (empty for id 0).
    CString XAxisName() const;
    CString YAxisName() const;
    std::uint32_t XUnit() const { return xUnit_; }
    std::uint32_t YUnit() const { return yUnit_; }
    std::uint32_t AnalysisIndex() const { return analysisIndex_; }
    std::uint32_t Kind() const { return kind_; }
    std::uint32_t XNameId() const { return xNameId_; }
    std::uint32_t YNameId() const { return yNameId_; }

protected:
    _MarloCurveType(std::uint32_t analysisIndex, std::uint32_t kind, std::uint32_t xNameId, std::uint32_t yNameId,
                    std::uint32_t xUnit, std::uint32_t yUnit);
    // format with %1 the analysis prefix and %2.. the numbers given.
    CString Key(const wchar_t* format, std::int32_t n2, std::int32_t n3 = 0, std::int32_t n4 = 0) const;

    std::uint32_t analysisIndex_;
    std::uint32_t kind_;
    std::uint32_t xNameId_;
    std::uint32_t yNameId_;
    std::uint32_t xUnit_;
    std::uint32_t yUnit_;
};

// Time-dependent multiplier tables; subtype 1 is the temperature adjustment (kind 5).
class _MarloMultiplierCurveType : public _MarloCurveType {
public:
    _MarloMultiplierCurveType(std::uint32_t analysisIndex, std::uint32_t subtype);
    CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString NameKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
    CString YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
};

// Multiplier tables of the heat analysis, which also keep a curve count and a type.
class _MarloHeatMultiplierCurveType : public _MarloMultiplierCurveType {
public:
    explicit _MarloHeatMultiplierCurveType(std::uint32_t subtype);
    CString CurveCountKey(std::int32_t secondId) const override;
    CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString NameKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString TypeKey(std::int32_t curveId, std::int32_t secondId) const override;
};

// Fan curves of an element group (second id).
class _MarloFlowRatePressureCurveType : public _MarloCurveType {
public:
    explicit _MarloFlowRatePressureCurveType(std::uint32_t analysisIndex);
    CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString NameKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString TypeKey(std::int32_t curveId, std::int32_t secondId) const override;
    std::int32_t DefaultType(std::int32_t curveId, std::int32_t secondId) const override;
    CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
    CString YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;

protected:
    _MarloFlowRatePressureCurveType(std::uint32_t analysisIndex, std::uint32_t kind, std::uint32_t xNameId,
                                    std::uint32_t xUnit);
};

class _MarloVelocityPressureCurveType : public _MarloFlowRatePressureCurveType {
public:
    explicit _MarloVelocityPressureCurveType(std::uint32_t analysisIndex);
    std::int32_t DefaultType(std::int32_t curveId, std::int32_t secondId) const override;
    CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
};

class _MarloTemperatureCoefficientCurveType : public _MarloCurveType {
public:
    explicit _MarloTemperatureCoefficientCurveType(std::uint32_t analysisIndex);
    CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString NameKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
    CString YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
};

class _MarloTemperatureHeatGenerationCurveType : public _MarloCurveType {
public:
    explicit _MarloTemperatureHeatGenerationCurveType(std::uint32_t analysisIndex);
    CString PointCountKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString NameKey(std::int32_t curveId, std::int32_t secondId) const override;
    CString XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
    CString YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const override;
};
