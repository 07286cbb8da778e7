#include "dialogs/variableloads/VariableLoadFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

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

template <class Visit>
void ForEachRst(const DbCoordinateSystem* system, const std::vector<const DbNode*>& nodes, const DisplayUnitSystem& display,
                Visit&& visit) {
    const CCSHelper frame = MakeFrame(system);
    const double lengthFactor = ModelToDisplayLengthFactor(display);
    for (const DbNode* node : nodes)
        visit(frame.ScaleLengths(frame.ToModelRst(node->GetCoordinatesAsArray()), lengthFactor));
}

// Hands out the nodes of a check in order, a block at a time: coordinates and node.
class NodeSource {
public:
    virtual ~NodeSource() = default;
    // Fills up to `max` entries and returns how many; 0 at the end.
    virtual std::size_t Next(CCSHelper::Vector3* xyz, const DbNode** node, std::size_t max) = 0;
};

class ListSource : public NodeSource {
public:
    explicit ListSource(const std::vector<const DbNode*>& nodes) : nodes_(nodes) {}
    std::size_t Next(CCSHelper::Vector3* xyz, const DbNode** node, std::size_t max) override {
        const std::size_t n = std::min(max, nodes_.size() - next_);
        for (std::size_t k = 0; k < n; ++k) {
            node[k] = nodes_[next_ + k];
            xyz[k] = node[k]->GetCoordinatesAsArray();
        }
        next_ += n;
        return n;
    }

private:
    const std::vector<const DbNode*>& nodes_;
    std::size_t next_ = 0;
};

// A surface or edge listing its node ids in ascending order, matched in one pass over the
// scenario's node map (ids missing from the map are skipped, as DbPartFace::GetNodes does),
// instead of one look-up per node.
// FIXME: the model could keep nodes in an indexable store; then this shortcut can go.
class AscendingIdSource : public NodeSource {
public:
    using Map = OrvDbRecord::StorageMap<DbNode>;
    AscendingIdSource(const std::vector<std::uint32_t>& ids, const Map& all) : ids_(ids), it_(all.begin()), end_(all.end()) {}
    std::size_t Next(CCSHelper::Vector3* xyz, const DbNode** node, std::size_t max) override {
        std::size_t n = 0;
        while (n < max && next_ < ids_.size() && it_ != end_) {
            const std::uint32_t id = ids_[next_];
            while (it_ != end_ && it_->first < id) ++it_;
            if (it_ == end_) break;
            ++next_;
            if (it_->first != id) continue;
            node[n] = it_->second.get();
            xyz[n] = node[n]->GetCoordinatesAsArray();
            ++n;
        }
        return n;
    }

private:
    const std::vector<std::uint32_t>& ids_;
    std::size_t next_ = 0;
    Map::Map::const_iterator it_, end_;
};

// The source of an object's nodes: the one-pass match for a surface or edge that lists a large
// share of the scenario's nodes in ascending order, else the object's own node list.
class ObjectSource : public NodeSource {
public:
    explicit ObjectSource(const DbFeaObject& object) {
        using Kind = OrvDbRecord::StorageMapItem::Kind;
        const OrvDbRecord::DbDesignScenario* scenario = object.GetDesignScenario();
        const OrvDbRecord::StorageMapItem* geometry = scenario ? object.GetGeometry() : nullptr;
        if (geometry && (geometry->GetKind() == Kind::Surface || geometry->GetKind() == Kind::Edge)) {
            const std::vector<std::uint32_t>& ids = static_cast<const OrvDbRecord::DbPartFace*>(geometry)->GetNodeIds();
            const auto& all = scenario->GetNodes();
            if (ids.size() * 16 >= all.size() &&
                std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()) == ids.end()) {
                source_ = std::make_unique<AscendingIdSource>(ids, all);
                return;
            }
        }
        list_ = object.GetNodes();
        source_ = std::make_unique<ListSource>(list_);
    }
    std::size_t Next(CCSHelper::Vector3* xyz, const DbNode** node, std::size_t max) override {
        return source_->Next(xyz, node, max);
    }

private:
    std::vector<const DbNode*> list_;
    std::unique_ptr<NodeSource> source_;
};

std::unique_ptr<NodeSource> SourceOf(const DbFeaObject& object) { return std::make_unique<ObjectSource>(object); }

// Reset, the text, then every node of the source in order until the first failure.
RstCheckOutcome EvaluateFrom(IExpressionEvaluator& evaluator, const std::wstring& expression, const CCSHelper& frame,
                             double lengthFactor, NodeSource& source) {
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
    // Nodes are separate objects: their coordinates are first copied a block at a time (a tight
    // loop of independent loads that the processor overlaps), then converted and evaluated.
    std::array<CCSHelper::Vector3, kNodeBlock> xyz;
    std::array<const DbNode*, kNodeBlock> node;
    std::size_t first = 0;
    while (const std::size_t n = source.Next(xyz.data(), node.data(), kNodeBlock)) {
        for (std::size_t k = 0; k < n; ++k) {
            const RstPoint p = frame.ScaleLengths(frame.ToModelRst(xyz[k], needed), lengthFactor);
            double value;
            const HRESULT hr = evaluator.EvaluateAt(p.r, p.s, p.t, &value);
            if (FAILED(hr)) {
                outcome.result = hr;
                outcome.failedIndex = first + k;
                outcome.failedNodeId = node[k]->Id();
                // Shown in the message with every variable, used or not.
                outcome.failedPoint = frame.ScaleLengths(frame.ToModelRst(xyz[k]), lengthFactor);
                outcome.detail = ErrorTextOf(evaluator);
                return outcome;
            }
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

}  // namespace

std::wstring InsertPrimitive(const std::wstring& text, int selStart, int selEnd, const std::wstring& name, int* caret) {
    const int size = int(text.size());
    int from = std::clamp(std::min(selStart, selEnd), 0, size);
    int to = std::clamp(std::max(selStart, selEnd), 0, size);
    std::wstring result = text.substr(0, std::size_t(from)) + name + L"()" + text.substr(std::size_t(to));
    if (caret) *caret = from + int(name.size()) + 1;
    return result;
}

std::vector<const DbNode*> GetLoadNodes(const DbFeaObject& object) {
    std::unique_ptr<NodeSource> source = SourceOf(object);
    std::vector<const DbNode*> nodes;
    std::array<CCSHelper::Vector3, kNodeBlock> xyz;
    std::array<const DbNode*, kNodeBlock> block;
    while (std::size_t n = source->Next(xyz.data(), block.data(), kNodeBlock)) nodes.insert(nodes.end(), block.begin(), block.begin() + std::ptrdiff_t(n));
    return nodes;
}

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

RstRanges ComputeRstRanges(const DbCoordinateSystem* system, const std::vector<const DbNode*>& nodes,
                           const DisplayUnitSystem& display) {
    RstRanges ranges;
    ranges.nodeCount = nodes.size();
    double lo[3], hi[3];
    bool seen[3] = {false, false, false};
    ForEachRst(system, nodes, display, [&](const RstPoint& p) {
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

RstRanges ComputeRstRanges(const DbCoordinateSystem* system, const DbFeaObject& object) {
    return ComputeRstRanges(system, GetLoadNodes(object), DisplayOf(object));
}

RstNodeValues CollectRstNodeValues(const DbCoordinateSystem* system, const std::vector<const DbNode*>& nodes,
                                   const DisplayUnitSystem& display) {
    RstNodeValues values;
    ForEachRst(system, nodes, display, [&](const RstPoint& p) {
        if (!std::isnan(p.r)) values.r.insert(p.r);
        if (!std::isnan(p.s)) values.s.insert(p.s);
        if (!std::isnan(p.t)) values.t.insert(p.t);
    });
    return values;
}

RstNodeValues CollectRstNodeValues(const DbCoordinateSystem* system, const DbFeaObject& object) {
    return CollectRstNodeValues(system, GetLoadNodes(object), DisplayOf(object));
}

}  // namespace DataModelDialogs
