#pragma once
// Functions of r, s and t: the check of an expression against every node of a load's geometry,
// the r, s, t ranges over those nodes (for plotting), the messages of the evaluator's error
// classes and the primitives offered to the user. The expression evaluator is created through
// the class registry only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "components/interfaces/IExpressionEvaluator.h"
#include "dialogs/variableloads/CCSHelper.h"
#include "platform/com/ComPtr.h"
#include "platform/win/WinTypes.h"

namespace OrvDbRecord {
class DbFeaObject;
class DbNode;
}  // namespace OrvDbRecord

namespace DataModelDialogs {

// The class context the library asks the evaluator for: in-process, local or remote server.
inline constexpr DWORD kEvaluatorClassContext = 23;
// The evaluator's mode for functions of r, s and t.
inline constexpr LONG kRstEvaluatorMode = 1;
// Displayable unit of a variable load function's value.
inline constexpr int kRstFunctionValueUnit = 24;

// The names of the primitives popup, in the order shown.
inline constexpr std::array<const wchar_t*, 18> kShapePrimitives{
    L"ABS", L"ARCCOS", L"ARCCOSH", L"ARCSIN", L"ARCSINH", L"ARCTAN", L"ARCTANH", L"COS", L"COSH",
    L"EXP", L"LN", L"LOG", L"PI", L"SIN", L"SINH", L"SQR", L"TAN", L"TANH"};

// `text` with the characters from selStart to selEnd (either order, clamped to the text)
// replaced by name + "()"; *caret (when given) receives the position between the parentheses.
std::wstring InsertPrimitive(const std::wstring& text, int selStart, int selEnd, const std::wstring& name, int* caret = nullptr);

// The frame of a load's coordinate system; null stands for the global Cartesian system.
CCSHelper MakeFrame(const OrvDbRecord::DbCoordinateSystem* system);

// The nodes of the object's geometry in the object's order, as DbFeaObject::GetNodes gives them
// (the check and the ranges read a surface's or edge's nodes from the node store instead).
std::vector<const OrvDbRecord::DbNode*> GetLoadNodes(const OrvDbRecord::DbFeaObject& object);

// A new evaluator instance from the class registry; the failure code when none can be made.
HRESULT CreateExpressionEvaluator(CComPtr<IExpressionEvaluator>& evaluator);

// What evaluating an expression at the nodes gave.
struct RstCheckOutcome {
    static constexpr std::size_t kNoNode = static_cast<std::size_t>(-1);

    HRESULT result = S_OK;          // S_OK, or the first failure
    std::size_t failedIndex = kNoNode;  // index of the failing node; kNoNode when the text itself failed
    std::uint32_t failedNodeId = 0;
    RstPoint failedPoint;           // r, s, t of the failing node
    std::wstring detail;            // the component's explanation ("column 3: division by zero")

    bool Succeeded() const { return SUCCEEDED(result); }
};

// Resets the evaluator for functions of r, s and t, gives it the expression and evaluates it at
// every node in order (lengths multiplied by lengthFactor, angles in radians); stops at the
// first failure. Shows nothing. Evaluates a block of nodes a call through
// IExpressionBlockEvaluator when the evaluator offers it, else calls EvaluateAt at each node.
RstCheckOutcome EvaluateAtNodes(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                                double lengthFactor, const std::vector<const OrvDbRecord::DbNode*>& nodes);

// The smallest and largest value of an expression over nodes, with the nodes that give them,
// and the first failure (evaluation stops there).
struct FunctionExtremes {
    RstCheckOutcome outcome;
    std::size_t nodes = 0;   // nodes given
    std::size_t valid = 0;   // nodes evaluated to a finite value
    double minimum = 0, maximum = 0;
    std::uint32_t minimumNode = 0, maximumNode = 0;
};
FunctionExtremes EvaluateExtremes(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                                  double lengthFactor, const std::vector<const OrvDbRecord::DbNode*>& nodes);

// The string id of a failure's message: IDS_EXPRESSION_EMPTY for E_FAIL, 3300 + class for the
// classes 1 to 7, IDS_EXPRESSION_FAILED for anything else; 0 for a success.
UINT ExpressionErrorMessageId(HRESULT failure);
// The full text of a failure's message: the class's message, then (when there is one) a line
// naming the node and the component's explanation.
std::wstring FormatExpressionError(const RstCheckOutcome& outcome);
// Shows the failure's message under the caption "Invalid Expression" with the exclamation icon,
// owned by `owner` (null: the active window).
void ShowExpressionError(HWND owner, const RstCheckOutcome& outcome);
// Shows that the evaluator component could not be created, under the same caption.
void ShowEvaluatorUnavailable(HWND owner, HRESULT creationResult);

// Checks the expression against every node of the object's geometry in the coordinate system
// (null: global Cartesian), lengths in the object's scenario's display unit system. On failure
// shows its one message and returns false; an object without nodes accepts any expression the
// component accepts as text.
bool CheckExpressionOnSurface(const std::wstring& expression, const OrvDbRecord::DbCoordinateSystem* system,
                              const OrvDbRecord::DbFeaObject& object, HWND owner = nullptr);
// The same over the given nodes with the given display unit system.
bool CheckExpressionOnNodes(const std::wstring& expression, const OrvDbRecord::DbCoordinateSystem* system,
                            const std::vector<const OrvDbRecord::DbNode*>& nodes,
                            const OrvDbRecord::DisplayUnitSystem& display, HWND owner = nullptr);

// The smallest and largest r, s and t over the nodes (display units, radians); all 0 without
// nodes. Components that are NaN are left out.
struct RstRanges {
    std::size_t nodeCount = 0;
    RstPoint minimum;
    RstPoint maximum;
};
RstRanges ComputeRstRanges(const OrvDbRecord::DbCoordinateSystem* system, const std::vector<const OrvDbRecord::DbNode*>& nodes,
                           const OrvDbRecord::DisplayUnitSystem& display);
RstRanges ComputeRstRanges(const OrvDbRecord::DbCoordinateSystem* system, const OrvDbRecord::DbFeaObject& object);

// The distinct values of r, of s and of t over the nodes (display units, radians), as the
// viewer plots them; NaN components are left out.
struct RstNodeValues {
    std::set<double> r;
    std::set<double> s;
    std::set<double> t;
};
RstNodeValues CollectRstNodeValues(const OrvDbRecord::DbCoordinateSystem* system,
                                   const std::vector<const OrvDbRecord::DbNode*>& nodes,
                                   const OrvDbRecord::DisplayUnitSystem& display);
RstNodeValues CollectRstNodeValues(const OrvDbRecord::DbCoordinateSystem* system, const OrvDbRecord::DbFeaObject& object);

}  // namespace DataModelDialogs
