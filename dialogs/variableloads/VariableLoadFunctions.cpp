#include "dialogs/variableloads/VariableLoadFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/resources/VariableLoads.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbFeaObject.h"
#include "host/model/DbGeometry.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/win/CString.h"
#include "platform/win/WinApi.h"

namespace DataModelDialogs {

using OrvDbRecord::DbCoordinateSystem;
using OrvDbRecord::DbFeaObject;
using OrvDbRecord::DbNode;
using OrvDbRecord::DisplayUnitSystem;

namespace {

std::wstring HResultText(HRESULT hr) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::wstring NumberText(double value) {
    wchar_t buf[40];
    std::swprintf(buf, 40, L"%.6g", value);
    return buf;
}

// The component's explanation of its last failure; empty when it gives none.
std::wstring ErrorTextOf(IExpressionEvaluator& evaluator) {
    LONG length = 0;
    if (FAILED(evaluator.GetErrorText(nullptr, 0, &length)) || length <= 0) return {};
    std::wstring text(std::size_t(length) + 1, L'\0');
    if (FAILED(evaluator.GetErrorText(text.data(), length + 1, &length))) return {};
    text.resize(std::size_t(std::max<LONG>(0, std::min<LONG>(length, LONG(text.size()) - 1))));
    return text;
}

// The display unit system of the object's scenario; model units pass unchanged without one.
const DisplayUnitSystem& DisplayOf(const DbFeaObject& object) {
    static const DisplayUnitSystem identity;
    const OrvDbRecord::DbDesignScenario* scenario = object.GetDesignScenario();
    return scenario ? scenario->GetCurrentDisplayUnitSystem() : identity;
}

constexpr std::size_t kNodeBlock = 256;

HWND OwnerOrActive(HWND owner) { return owner ? owner : GetActiveWindow(); }

void ShowInvalidExpressionBox(HWND owner, const std::wstring& text) {
    ResourceModuleScope resources;
    CString caption;
    caption.LoadString(IDS_INVALID_EXPRESSION_CAPTION);
    MessageBox(OwnerOrActive(owner), text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}

// One block of nodes: model coordinates and ids, structure of arrays.
struct NodeBlock {
    double x[kNodeBlock];
    double y[kNodeBlock];
    double z[kNodeBlock];
    std::uint32_t id[kNodeBlock];
};

// Hands out the nodes of a check in order, a block at a time.
class NodeSource {
public:
    virtual ~NodeSource() = default;
    // Fills up to kNodeBlock nodes and returns how many; 0 at the end.
    virtual std::size_t Next(NodeBlock& block) = 0;
};

class ListSource : public NodeSource {
public:
    explicit ListSource(const std::vector<const DbNode*>& nodes) : nodes_(nodes) {}
    std::size_t Next(NodeBlock& block) override {
        const std::size_t n = std::min(kNodeBlock, nodes_.size() - next_);
        for (std::size_t k = 0; k < n; ++k) {
            const DbNode& node = *nodes_[next_ + k];
            const CCSHelper::Vector3 xyz = node.GetCoordinatesAsArray();
            block.x[k] = xyz[0];
            block.y[k] = xyz[1];
            block.z[k] = xyz[2];
            block.id[k] = node.Id();
        }
        next_ += n;
        return n;
    }

private:
    const std::vector<const DbNode*>& nodes_;
    std::size_t next_ = 0;
};

// A surface or edge: its listed nodes straight from the scenario's packed coordinates.
class FaceSource : public NodeSource {
public:
    explicit FaceSource(const OrvDbRecord::DbPartFace& face) : face_(face) {}
    std::size_t Next(NodeBlock& block) override {
        return face_.GatherNodes(&cursor_, kNodeBlock, block.x, block.y, block.z, block.id);
    }

private:
    const OrvDbRecord::DbPartFace& face_;
    std::size_t cursor_ = 0;
};

// The nodes of an object's geometry in the object's order: a surface or edge gathered from the
// node store, any other geometry through DbFeaObject::GetNodes.
class ObjectSource : public NodeSource {
public:
    explicit ObjectSource(const DbFeaObject& object) {
        using Kind = OrvDbRecord::StorageMapItem::Kind;
        const OrvDbRecord::StorageMapItem* geometry = object.GetGeometry();
        if (geometry && (geometry->GetKind() == Kind::Surface || geometry->GetKind() == Kind::Edge)) {
            source_ = std::make_unique<FaceSource>(*static_cast<const OrvDbRecord::DbPartFace*>(geometry));
            return;
        }
        list_ = object.GetNodes();
        source_ = std::make_unique<ListSource>(list_);
    }
    std::size_t Next(NodeBlock& block) override { return source_->Next(block); }

private:
    std::vector<const DbNode*> list_;
    std::unique_ptr<NodeSource> source_;
};

// Calls visit(r, s, t) for every node of the source, lengths in display units.
template <class Visit>
std::size_t ForEachRst(const DbCoordinateSystem* system, NodeSource& source, const DisplayUnitSystem& display, Visit&& visit) {
    const CCSHelper frame = MakeFrame(system);
    const double lengthFactor = ModelToDisplayLengthFactor(display);
    auto block = std::make_unique<NodeBlock>();
    double r[kNodeBlock], s[kNodeBlock], t[kNodeBlock];
    std::size_t count = 0;
    while (const std::size_t n = source.Next(*block)) {
        frame.ToRstBlock(n, block->x, block->y, block->z, 7u, lengthFactor, r, s, t);
        for (std::size_t k = 0; k < n; ++k) visit(RstPoint{r[k], s[k], t[k]});
        count += n;
    }
    return count;
}

// Reset, the text, then every node of the source in order until the first failure. Each block
// of nodes is converted at once (only the variables the expression uses) and evaluated in one
// call where the component offers IExpressionBlockEvaluator, else node by node with EvaluateAt.
// The values of each evaluated block go to `sink` (when given), with the nodes' ids; a failing
// block hands on the values before the failure.
using ValueSink = std::function<void(const double* values, const std::uint32_t* ids, std::size_t n)>;

RstCheckOutcome EvaluateFrom(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                             double lengthFactor, NodeSource& source, const ValueSink* sink = nullptr) {
    RstCheckOutcome outcome;
    outcome.result = evaluator.Reset(kRstEvaluatorMode);
    if (SUCCEEDED(outcome.result)) {
        CComBSTR text(expression.c_str());
        outcome.result = evaluator.SetExpression(text.m_str);
    }
    if (FAILED(outcome.result)) {
        outcome.detail = ErrorTextOf(evaluator);
        return outcome;
    }
    // Variables the expression does not use cannot change its value or make it fail.
    LONG used = kExprUsesR | kExprUsesS | kExprUsesT;
    if (FAILED(evaluator.GetVariablesUsed(&used))) used = kExprUsesR | kExprUsesS | kExprUsesT;
    const unsigned needed = unsigned(used) & 7u;
    CComPtr<IExpressionBlockEvaluator> blockEvaluator;
    if (FAILED(evaluator.QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&blockEvaluator))))
        blockEvaluator.Release();
    auto block = std::make_unique<NodeBlock>();
    double r[kNodeBlock], s[kNodeBlock], t[kNodeBlock], values[kNodeBlock];
    double* results = sink ? values : nullptr;
    std::size_t first = 0;
    while (const std::size_t n = source.Next(*block)) {
        frame.ToRstBlock(n, block->x, block->y, block->z, needed, lengthFactor, r, s, t);
        std::size_t failed = n;
        HRESULT hr = S_OK;
        if (blockEvaluator) {
            LONG evaluated = 0;
            hr = blockEvaluator->EvaluateBlock(LONG(n), r, s, t, results, &evaluated);
            if (FAILED(hr)) failed = std::min(n - 1, std::size_t(std::max<LONG>(evaluated, 0)));
        } else {
            for (std::size_t k = 0; k < n; ++k) {
                double value;
                hr = evaluator.EvaluateAt(r[k], s[k], t[k], &value);
                if (results) results[k] = value;
                if (FAILED(hr)) {
                    failed = k;
                    break;
                }
            }
        }
        if (sink && failed > 0) (*sink)(values, block->id, failed);
        if (FAILED(hr)) {
            outcome.result = hr;
            outcome.failedIndex = first + failed;
            outcome.failedNodeId = block->id[failed];
            // Shown in the message with every variable, used or not.
            frame.ToRstBlock(1, &block->x[failed], &block->y[failed], &block->z[failed], 7u, lengthFactor, &outcome.failedPoint.r,
                             &outcome.failedPoint.s, &outcome.failedPoint.t);
            outcome.detail = ErrorTextOf(evaluator);
            return outcome;
        }
        first += n;
    }
    outcome.result = S_OK;
    return outcome;
}

// The check's message handling around a node source.
bool CheckFrom(const std::wstring& expression, const DbCoordinateSystem* system, NodeSource& source,
               const DisplayUnitSystem& display, HWND owner) {
    CComPtr<IExpressionEvaluator> evaluator;
    const HRESULT created = CreateExpressionEvaluator(evaluator);
    if (FAILED(created)) {
        ShowEvaluatorUnavailable(owner, created);
        return false;
    }
    const RstCheckOutcome outcome =
        EvaluateFrom(*evaluator, expression, MakeFrame(system), ModelToDisplayLengthFactor(display), source);
    if (outcome.Succeeded()) return true;
    ShowExpressionError(owner, outcome);
    return false;
}

RstRanges RangesFrom(const DbCoordinateSystem* system, NodeSource& source, const DisplayUnitSystem& display) {
    RstRanges ranges;
    double lo[3], hi[3];
    bool seen[3] = {false, false, false};
    ranges.nodeCount = ForEachRst(system, source, display, [&](const RstPoint& p) {
        const double v[3] = {p.r, p.s, p.t};
        for (int i = 0; i < 3; ++i) {
            if (std::isnan(v[i])) continue;
            if (!seen[i]) {
                lo[i] = hi[i] = v[i];
                seen[i] = true;
            } else {
                lo[i] = std::min(lo[i], v[i]);
                hi[i] = std::max(hi[i], v[i]);
            }
        }
    });
    ranges.minimum = {seen[0] ? lo[0] : 0, seen[1] ? lo[1] : 0, seen[2] ? lo[2] : 0};
    ranges.maximum = {seen[0] ? hi[0] : 0, seen[1] ? hi[1] : 0, seen[2] ? hi[2] : 0};
    return ranges;
}

RstNodeValues NodeValuesFrom(const DbCoordinateSystem* system, NodeSource& source, const DisplayUnitSystem& display) {
    RstNodeValues values;
    ForEachRst(system, source, display, [&](const RstPoint& p) {
        if (!std::isnan(p.r)) values.r.insert(p.r);
        if (!std::isnan(p.s)) values.s.insert(p.s);
        if (!std::isnan(p.t)) values.t.insert(p.t);
    });
    return values;
}

}  // namespace

std::wstring InsertPrimitive(const std::wstring& text, int selStart, int selEnd, const std::wstring& name, int* caret) {
    const int size = int(text.size());
    int from = std::clamp(std::min(selStart, selEnd), 0, size);
    int to = std::clamp(std::max(selStart, selEnd), 0, size);
    std::wstring result = text.substr(0, std::size_t(from)) + name + L"()" + text.substr(std::size_t(to));
    if (caret) *caret = from + int(name.size()) + 1;
    return result;
}

std::vector<const DbNode*> GetLoadNodes(const DbFeaObject& object) { return object.GetNodes(); }

CCSHelper MakeFrame(const DbCoordinateSystem* system) {
    CCSHelper frame;
    if (system) frame.SetUp(*system);
    return frame;
}

HRESULT CreateExpressionEvaluator(CComPtr<IExpressionEvaluator>& evaluator) {
    evaluator.Release();
    HRESULT hr = CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, kEvaluatorClassContext, IID_IExpressionEvaluator,
                                  reinterpret_cast<void**>(&evaluator));
    if (FAILED(hr)) {
        evaluator.Release();
        return hr;
    }
    return evaluator ? S_OK : E_NOINTERFACE;
}

RstCheckOutcome EvaluateAtNodes(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                                double lengthFactor, const std::vector<const DbNode*>& nodes) {
    ListSource source(nodes);
    return EvaluateFrom(evaluator, expression, frame, lengthFactor, source);
}

UINT ExpressionErrorMessageId(HRESULT failure) {
    if (SUCCEEDED(failure)) return 0;
    if (failure == E_FAIL) return IDS_EXPRESSION_EMPTY;
    const unsigned errorClass = unsigned(failure) & 0xFFFFu;
    if (HRESULT_FACILITY(failure) == FACILITY_ITF && errorClass >= kExprErrorSyntax && errorClass <= kExprErrorNoVariable)
        return IDS_INVALID_EXPRESSION_CAPTION + errorClass;
    return IDS_EXPRESSION_FAILED;
}

std::wstring FormatExpressionError(const RstCheckOutcome& outcome) {
    const UINT id = ExpressionErrorMessageId(outcome.result);
    if (id == 0) return {};
    ResourceModuleScope resources;
    CString format;
    format.LoadString(id);
    CString message;
    if (id == IDS_EXPRESSION_FAILED) {
        const std::wstring code = HResultText(outcome.result);
        message.FormatMessage(format, code.c_str());
    } else {
        message = format;
    }
    std::wstring text = message.str();
    if (outcome.result == E_FAIL) return text;
    if (outcome.failedIndex != RstCheckOutcome::kNoNode) {
        CString lineFormat;
        lineFormat.LoadString(IDS_EXPRESSION_AT_NODE);
        CString line;
        const std::wstring node = std::to_wstring(outcome.failedNodeId);
        const std::wstring r = NumberText(outcome.failedPoint.r), s = NumberText(outcome.failedPoint.s),
                           t = NumberText(outcome.failedPoint.t);
        line.FormatMessage(lineFormat, node.c_str(), r.c_str(), s.c_str(), t.c_str(), outcome.detail.c_str());
        text += L"\n\n" + line.str();
    } else if (!outcome.detail.empty()) {
        text += L"\n\n" + outcome.detail;
    }
    return text;
}

void ShowExpressionError(HWND owner, const RstCheckOutcome& outcome) {
    if (outcome.Succeeded()) return;
    ShowInvalidExpressionBox(owner, FormatExpressionError(outcome));
}

void ShowEvaluatorUnavailable(HWND owner, HRESULT creationResult) {
    std::wstring text;
    {
        ResourceModuleScope resources;
        CString format;
        format.LoadString(IDS_EVALUATOR_UNAVAILABLE);
        CString message;
        const std::wstring code = HResultText(creationResult);
        message.FormatMessage(format, code.c_str());
        text = message.str();
    }
    ShowInvalidExpressionBox(owner, text);
}

bool CheckExpressionOnNodes(const std::wstring& expression, const DbCoordinateSystem* system,
                            const std::vector<const DbNode*>& nodes, const DisplayUnitSystem& display, HWND owner) {
    ListSource source(nodes);
    return CheckFrom(expression, system, source, display, owner);
}

bool CheckExpressionOnSurface(const std::wstring& expression, const DbCoordinateSystem* system, const DbFeaObject& object,
                              HWND owner) {
    ObjectSource source(object);
    return CheckFrom(expression, system, source, DisplayOf(object), owner);
}

FunctionExtremes EvaluateExtremes(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                                  double lengthFactor, const std::vector<const DbNode*>& nodes) {
    FunctionExtremes extremes;
    extremes.nodes = nodes.size();
    const ValueSink sink = [&](const double* values, const std::uint32_t* ids, std::size_t n) {
        for (std::size_t k = 0; k < n; ++k) {
            const double v = values[k];
            if (!std::isfinite(v)) continue;
            if (extremes.valid == 0 || v < extremes.minimum) extremes.minimum = v, extremes.minimumNode = ids[k];
            if (extremes.valid == 0 || v > extremes.maximum) extremes.maximum = v, extremes.maximumNode = ids[k];
            ++extremes.valid;
        }
    };
    ListSource source(nodes);
    extremes.outcome = EvaluateFrom(evaluator, expression, frame, lengthFactor, source, &sink);
    return extremes;
}

RstRanges ComputeRstRanges(const DbCoordinateSystem* system, const std::vector<const DbNode*>& nodes,
                           const DisplayUnitSystem& display) {
    ListSource source(nodes);
    return RangesFrom(system, source, display);
}

RstRanges ComputeRstRanges(const DbCoordinateSystem* system, const DbFeaObject& object) {
    ObjectSource source(object);
    return RangesFrom(system, source, DisplayOf(object));
}

RstNodeValues CollectRstNodeValues(const DbCoordinateSystem* system, const std::vector<const DbNode*>& nodes,
                                   const DisplayUnitSystem& display) {
    ListSource source(nodes);
    return NodeValuesFrom(system, source, display);
}

RstNodeValues CollectRstNodeValues(const DbCoordinateSystem* system, const DbFeaObject& object) {
    ObjectSource source(object);
    return NodeValuesFrom(system, source, DisplayOf(object));
}

}  // namespace DataModelDialogs
