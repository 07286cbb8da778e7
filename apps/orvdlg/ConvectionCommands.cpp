#include "apps/orvdlg/ConvectionCommands.h"

#include <ostream>
#include <string>
#include <utility>

#include "apps/orvdlg/HostCommands.h"
#include "dialogs/convection/ConvectionCalculatorHost.h"
#include "host/model/DbDesignScenario.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::Where;

std::string Outcome(INT_PTR result) { return HostCommands::OkCancelText(std::uint32_t(result)); }

// "CTL ROW" naming a row (from 0) of a list view in the active window.
std::pair<HWND, int> ListViewRow(Args& args) {
    HWND window = orv::script::UiCommands::ActiveWindow(args);
    const orv::script::Token reference = args.Any("a control");
    HWND list = orv::script::UiCommands::ResolveControl(window, reference);
    const auto view = orv::win::Inspect(list);
    if (!orv::win::IsWindowClass(view.className, L"SysListView32"))
        args.Fail(orv::script::UiCommands::Written(reference) + " is not a list view");
    const int rows = int(view.items.size());
    if (rows == 0) args.Fail(orv::script::UiCommands::Written(reference) + " has no items");
    return {list, int(args.Integer("a row (from 0)", 0, rows - 1))};
}

std::string G(double value) { return orv::WideToUtf8(orv::FormatPrintf(L"%g", value)); }

}  // namespace

ConvectionCommands::ConvectionCommands(HostCommands& host) : host_(host) {}

void ConvectionCommands::AddCommands(orv::script::CommandTable& table) {
    auto displayUnits = [this](Call& call) -> OrvDbRecord::UnitSystem {
        if (!host_.Session().HasModel()) call.Error("no model is loaded (model sample | model \"PATH\")");
        return host_.Session().Scenario().GetCurrentDisplayUnitSystem().GetUnitSystem();
    };
    auto finish = [this](Call& call, INT_PTR result) {
        if (result == -1) call.Error("the dialog could not be created");
        if (!orv::win::ModalError().empty())
            call.Error("the dialog ended without an answer: " + orv::WideToUtf8(orv::win::ModalError()));
        host_.SetLastResult({std::uint32_t(result), &HostCommands::OkCancelText});
    };
    table.Add({"calculator", Where::Host, "calculator [from-library]", [=](Call& call) {
                   Args& args = call.Arguments();
                   const bool fromLibrary = args.TakeWord("from-library");
                   args.End();
                   const OrvDbRecord::UnitSystem units = displayUnits(call);
                   orv::win::ClearModalError();
                   const auto outcome = DataModelDialogs::RunSurfaceConvectionCalculator(
                       nullptr, units, CString(L"0"), CString(L"0"), !fromLibrary);
                   if (call.Runner().Stopped()) return;
                   finish(call, outcome.result);
                   call.Out() << "calculator: " << Outcome(outcome.result);
                   if (outcome.result == IDOK) call.Out() << ", h = " << G(outcome.coefficient);
                   call.Out() << '\n';
               }});
    table.Add({"library-dialog", Where::Host, "library-dialog", [=](Call& call) {
                   call.Arguments().End();
                   const OrvDbRecord::UnitSystem units = displayUnits(call);
                   orv::win::ClearModalError();
                   const auto outcome = DataModelDialogs::RunCoefficientLibrary(nullptr, units);
                   if (call.Runner().Stopped()) return;
                   finish(call, outcome.result);
                   call.Out() << "library-dialog: " << Outcome(outcome.result);
                   if (outcome.result == IDOK)
                       call.Out() << ", \"" << orv::WideToUtf8(outcome.name.GetString()) << "\", h = "
                                  << G(outcome.coefficient);
                   call.Out() << '\n';
               }});
    table.Add({"rename", Where::Window, "rename CTL ROW \"TEXT\"", [](Call& call) {
                   Args& args = call.Arguments();
                   const auto [list, row] = ListViewRow(args);
                   const std::string text = args.String("the new label");
                   args.End();
                   if (!orv::win::input::EditLabel(list, row, orv::Utf8ToWide(text)))
                       args.Fail("cannot rename row " + std::to_string(row) + ": " +
                                 orv::WideToUtf8(orv::win::input::LastInputError()));
               }});
    table.Add({"toggle", Where::Window, "toggle CTL ROW", [](Call& call) {
                   Args& args = call.Arguments();
                   const auto [list, row] = ListViewRow(args);
                   args.End();
                   if (!orv::win::input::ToggleItem(list, row))
                       args.Fail("cannot toggle row " + std::to_string(row) + ": " +
                                 orv::WideToUtf8(orv::win::input::LastInputError()));
               }});
}

}  // namespace orvdlg
