#pragma once
// CDoubleCalcEdit: the edit control of numeric fields. The user types a number or a small
// arithmetic expression; characters that cannot belong to one are refused with a beep, an
// entry that cannot be evaluated turns red and raises a balloon tip, and "=" or leaving the
// field shows the value (with the locale's decimal separator). The arithmetic is done by the
// expression evaluator component, created through the class registry. Without that component
// a plain number is still read directly; any other entry raises a balloon saying that only
// numbers can be entered and is kept as typed, so the dialog's check refuses it and nothing
// typed is lost.
//
// Dialogs do not place this control in templates: they subclass their edits at
// initialisation (MakeCalcEdits below, or SubclassDlgItem).

#include <memory>
#include <vector>

#include "dialogs/controls/BalloonHelp.h"
#include "dialogs/controls/EvaluatorClient.h"
#include "host/model/UnitConverterWindowUtility.h"
#include "platform/win/Afx.h"

class CDoubleCalcEdit : public CEdit {
public:
    static constexpr int kMaxTextLength = 1024;
    static constexpr unsigned kBalloonOptions = CBalloonHelp::kCloseOnKeyPress;
    static constexpr unsigned kBalloonTimeout = 10000;
    static constexpr COLORREF kInvalidTextColor = RGB(255, 0, 0);

    // Reads the locale's decimal separator and signs, creates the evaluator and builds the
    // permitted characters.
    CDoubleCalcEdit();
    // Destroys a remaining balloon and releases the evaluator.
    ~CDoubleCalcEdit() override;

    // Shows `value` with 16 significant digits and the locale's decimal separator, selected;
    // it becomes the last valid value.
    void SetValue(double value);
    // Evaluates the text and shows the result; a text that cannot be evaluated beeps and shows
    // the previous value again (without the evaluator: beeps and keeps the text, marked
    // invalid). Returns the value shown, or the last valid value.
    double Evaluate();

    // An empty field stays empty when left (for fields where empty means "no value").
    void SetAllowEmpty(bool allow) { allowEmpty_ = allow; }

    bool IsValid() const { return valid_; }
    double GetLastValidValue() const { return lastValidValue_; }
    // The characters a keystroke or paste may leave in the text (the backspace included).
    const CString& PermittedCharacters() const { return permitted_; }
    const CString& DecimalSeparator() const { return decimalSeparator_; }
    bool HasEvaluator() const { return evaluator_.IsAvailable(); }
    // The balloon shown while the entry cannot be evaluated; null when none.
    CBalloonHelp* Balloon() const { return balloon_.get(); }

protected:
    void PreSubclassWindow() override;

private:
    void OnCharacter(UINT ch);
    LRESULT OnSetText(LPARAM text);
    void OnKillFocusMessage();
    bool IsPermitted(const CString& text) const;
    bool CanEvaluate(const CString& text);
    // The value of the text: by the evaluator, or read as a plain number when there is none.
    bool EvaluateText(const CString& text, double& value);
    void SetTextQuietly(const CString& text);
    void SetValid(bool valid);
    void ShowBalloon();
    void DestroyBalloon();
    HBRUSH OnCtlColor(CDC* dc, UINT ctlColor);

    CString decimalSeparator_;
    CString negativeSign_;
    CString positiveSign_;
    double lastValidValue_ = 0;
    DataModelDialogs::EvaluatorClient evaluator_;
    OrvDbRecord::UnitConverterWindowUtility::NumberSymbols numberSymbols_;  // for plain numbers
    CString permitted_;
    bool valid_ = true;
    bool allowEmpty_ = false;
    // The text the field showed when it was last set (by its dialog or by SetValue), and
    // whether a dialog set it after the last successful evaluation: leaving with an
    // unevaluable entry then restores that text exactly.
    CString shownText_;
    bool restoreShownText_ = false;
    bool settingText_ = false;
    std::unique_ptr<CBitmap> balloonIcon_;  // outlives the balloon that draws it
    std::unique_ptr<CBalloonHelp> balloon_;
};

namespace DataModelDialogs {

// Turns each listed edit control of `dialog` into a CDoubleCalcEdit owned by `owner` (the
// list ends at 0 or 0xFFFFFFFF). Ids that name no control and controls already subclassed
// are skipped; owned edits whose window is gone (from an earlier run) are dropped first.
void MakeCalcEdits(CWnd& dialog, std::vector<std::unique_ptr<CWnd>>& owner, const UINT* ids);

}  // namespace DataModelDialogs
