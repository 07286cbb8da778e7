#include "apps/orvdlg/DemoCommands.h"

#include <ostream>

#include "apps/orvdlg/SampleDialog.h"

namespace orvdlg {
namespace {

const char* ResultName(INT_PTR result) {
    switch (result) {
        case IDOK: return "OK";
        case IDCANCEL: return "Cancel";
        default: return nullptr;
    }
}

}  // namespace

DemoCommands::DemoCommands() = default;
DemoCommands::~DemoCommands() = default;

void DemoCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"print", orv::script::Where::Anywhere, "print \"TEXT\"", [](orv::script::Call& call) {
                   const std::string text = call.Arguments().String("the text to print");
                   call.Arguments().End();
                   call.Out() << text << '\n';
               }});
    table.Add({"dialog", orv::script::Where::Host, "dialog sample", [this](orv::script::Call& call) {
                   orv::script::Args& args = call.Arguments();
                   const std::string name = args.Word("a dialog name (sample)");
                   args.End();
                   if (name != "sample") args.Fail("unknown dialog '" + name + "' (sample)");
                   if (!sample_) sample_ = std::make_unique<SampleDialog>();
                   const INT_PTR result = sample_->DoModal();
                   if (call.Runner().Stopped()) return;  // the run already said why
                   if (result == -1) call.Error("the sample dialog could not be created");
                   const char* ended = ResultName(result);
                   call.Out() << "sample dialog: " << (ended ? ended : std::to_string(result).c_str());
                   if (result == IDOK) call.Out() << "; " << sample_->Describe();
                   call.Out() << '\n';
               }});
}

}  // namespace orvdlg
