#pragma once
// The host automation object "Orv_Glob.CGlobals" and its active range editor: a modal dialog
// listing the time ranges (start, end) in which a boundary condition is active, kept in the
// file "ActiveRanges.txt" of the design scenario's folder (one "start end" pair per line, in
// model time units) and shown in display units through the unit converter object.

#include <string>
#include <vector>

#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

struct IOrvUnitConverter;

namespace orv::components {

struct ActiveRange {
    double start = 0;
    double end = 0;
};

// Reads the file; false with error set for a line that is not two numbers with start <= end
// ("line 3: expected two numbers"). A missing file is an empty list.
bool ReadActiveRanges(const std::wstring& path, std::vector<ActiveRange>& ranges, std::wstring& error);
// Writes a new file and renames it over the old one.
bool WriteActiveRanges(const std::wstring& path, const std::vector<ActiveRange>& ranges, std::wstring& error);

class ActiveRangeDialog : public CDialog {
public:
    static constexpr int IDC_RANGES = 1101;
    static constexpr int IDC_START = 1102;
    static constexpr int IDC_END = 1103;
    static constexpr int IDC_ADD = 1104;
    static constexpr int IDC_DELETE = 1105;
    static constexpr int IDC_UNIT = 1106;
    static constexpr int IDC_FOLDER = 1107;

    // Values shown through converter (display units of time) when given.
    ActiveRangeDialog(CWnd* parent, std::wstring folder, std::vector<ActiveRange> ranges, IOrvUnitConverter* converter);
    const std::vector<ActiveRange>& Ranges() const { return ranges_; }

protected:
    BOOL OnInitDialog() override;

private:
    void Fill();
    void OnAdd();
    void OnDelete();
    double ToDisplay(double model) const;
    double ToModel(double display) const;

    orv::res::DialogTemplate template_;
    std::wstring folder_;
    std::vector<ActiveRange> ranges_;  // model units
    IOrvUnitConverter* converter_;
};

}  // namespace orv::components
