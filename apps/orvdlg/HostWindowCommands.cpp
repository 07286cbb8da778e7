#include "apps/orvdlg/HostWindowCommands.h"

#include <ostream>
#include <utility>

#include "apps/orvdlg/HostWindow.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace orvdlg {

void HostWindowCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"host-window", orv::script::Where::Host, "host-window", [this](orv::script::Call& call) {
                   call.Arguments().End();
                   if (!host_.Session().HasModel()) call.Error("no model is loaded (model sample | model \"PATH\")");
                   HostWindow window(host_.Session(), "bracket.json");
                   window.DoModal();
                   if (call.Runner().Stopped()) return;  // the run already said why
                   call.Out() << "host window closed: " << orv::WideToUtf8(window.Status()) << '\n';
               }});
    table.Add({"expect refused", orv::script::Where::Anywhere, "expect refused \"TEXT\"", [this](orv::script::Call& call) {
                   const std::string expected = call.Arguments().String("the reason of the refusal");
                   call.Arguments().End();
                   const auto& refusals = orv::win::InputRefusals();
                   const std::size_t seen = std::exchange(refusalsSeen_, refusals.size());
                   if (refusals.size() <= seen) call.Fail("a refused character", "none since the last 'expect refused'");
                   const std::string got = orv::WideToUtf8(refusals.back().reason);
                   if (got != expected) call.Fail("\"" + expected + "\"", "\"" + got + "\"");
                   call.Pass();
               }});
}

}  // namespace orvdlg
