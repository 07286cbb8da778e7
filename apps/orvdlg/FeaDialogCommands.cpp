#include "apps/orvdlg/FeaDialogCommands.h"

#include <cstdio>
#include <ostream>

#include "host/model/DbDesignScenario.h"
#include "platform/win/Driver.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinMessages.h"

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::Quote;
using orv::script::ScriptError;
using orv::script::Where;

std::string Hex(std::uint32_t code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", code);
    return buffer;
}

// How a ShowDialog result reads in messages: "0 (OK)", "1 (Cancel)", "0x40200 (pick)".
std::string ResultText(std::uint32_t result) {
    if (result == 0) return "0 (OK)";
    if (result == 1) return "1 (Cancel)";
    return Hex(result) + " (pick)";
}

std::uint32_t TypeCode(Args& args) { return std::uint32_t(args.Integer("an FEA object type code", 0, UINT32_MAX)); }

double Real(Args& args, const char* what) {
    const orv::script::Token& token = args.Any(what);
    const auto value = token.quoted ? std::nullopt : orv::script::ParseReal(token.text);
    if (!value) args.Fail(std::string("expected ") + what + ", got " + (token.quoted ? Quote(token.text) : "'" + token.text + "'"));
    return *value;
}

ObjectRef ReadObject(Args& args) {
    const orv::script::Token& token = args.Any("an object (an id, new or $N)");
    ObjectRef ref;
    if (!token.quoted && token.text == "new") {
        ref.kind = ObjectRef::Kind::New;
        return ref;
    }
    if (!token.quoted && token.text.starts_with("$")) {
        const auto n = orv::script::ParseInteger(token.text.substr(1));
        if (!n || *n < 1 || *n > UINT32_MAX) args.Fail("expected $N with N from 1, got '" + token.text + "'");
        ref.kind = ObjectRef::Kind::Created;
        ref.id = std::uint32_t(*n);
        return ref;
    }
    const auto id = token.quoted ? std::nullopt : orv::script::ParseInteger(token.text);
    if (!id || *id < 0 || *id > UINT32_MAX)
        args.Fail("expected an object (an id, new or $N), got " + (token.quoted ? Quote(token.text) : "'" + token.text + "'"));
    ref.id = std::uint32_t(*id);
    return ref;
}

template <typename F>
auto Model(F&& body) {
    try {
        return body();
    } catch (const ScriptError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw ScriptError(error.what());
    }
}

}  // namespace

FeaDialogCommands::FeaDialogCommands(HostCommands& host) : host_(host) {}
FeaDialogCommands::~FeaDialogCommands() { host_.Session().SetEditedRecordSource(nullptr); }

void FeaDialogCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"open", Where::Host, "open TYPECODE create [count N] [on GEOMETRY-ID...] | open TYPECODE modify OBJ... | open TYPECODE mode N [count N]",
               [this](Call& call) { Open(call); }});
    table.Add({"pick", Where::Host, "pick X Y Z", [this](Call& call) {
                   Args& args = call.Arguments();
                   const double x = Real(args, "the picked X"), y = Real(args, "the picked Y"), z = Real(args, "the picked Z");
                   args.End();
                   Task& task = PendingPick(call);
                   task.dialog->SetPickedVector(x, y, z);
                   Show(call, task.pickCode);
               }});
    table.Add({"pick-value", Where::Host, "pick-value V", [this](Call& call) {
                   const double value = Real(call.Arguments(), "the picked value");
                   call.Arguments().End();
                   Task& task = PendingPick(call);
                   task.dialog->SetPickedValue(value);
                   Show(call, task.pickCode);
               }});
    table.Add({"expect result", Where::Host, "expect result N", [this](Call& call) {
                   const auto expected = std::uint32_t(call.Arguments().Integer("the expected result", 0, UINT32_MAX));
                   call.Arguments().End();
                   const auto& last = host_.LastResult();
                   if (!last) call.Fail("result " + ResultText(expected), "no dialog has run");
                   if (last->value != expected)
                       call.Fail("result " + last->describe(expected), last->describe(last->value));
                   call.Pass();
               }});
    table.Add({"expect pick", Where::Host, "expect pick CODE", [this](Call& call) {
                   const auto expected = std::uint32_t(call.Arguments().Integer("a pick code", 0, UINT32_MAX));
                   call.Arguments().End();
                   const std::string want = "a pick request " + Hex(expected);
                   if (!task_ || task_->pickCode == 0)
                       call.Fail(want, host_.LastResult() ? "result " + host_.LastResult()->describe(host_.LastResult()->value)
                                                          : "no dialog has run");
                   if (task_->pickCode != expected) call.Fail(want, "a pick request " + Hex(task_->pickCode));
                   call.Pass();
               }});
    table.Add({"expect null", Where::Host, "expect null TYPECODE [modeless]", [](Call& call) {
                   Args& args = call.Arguments();
                   const std::uint32_t code = TypeCode(args);
                   const bool modeless = args.TakeWord("modeless");
                   args.End();
                   auto* dialog = DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(
                       code, nullptr, modeless ? 1 : 0);
                   const std::string want = std::string("no ") + (modeless ? "modeless" : "modal") + " dialog for type code " +
                                            std::to_string(code);
                   if (dialog) call.Fail(want, "a dialog");
                   call.Pass();
               }});
    table.Add({"expect popup", Where::Anywhere, "expect popup \"TEXT\"", [](Call& call) {
                   const std::string expected = call.Arguments().String("the expected pop-up text");
                   call.Arguments().End();
                   const auto& requests = orv::win::HelpRequests();
                   for (auto it = requests.rbegin(); it != requests.rend(); ++it) {
                       if (it->command != HH_DISPLAY_TEXT_POPUP) continue;
                       const std::string got = orv::WideToUtf8(it->popupText);
                       if (got != expected) call.Fail("the pop-up " + Quote(expected), Quote(got));
                       call.Pass();
                       return;
                   }
                   call.Fail("the pop-up " + Quote(expected), "no help pop-up");
               }});
}

FeaDialogCommands::Task& FeaDialogCommands::PendingPick(Call& call) {
    if (!task_ || task_->pickCode == 0) call.Error("no dialog waits for a pick");
    return *task_;
}

void FeaDialogCommands::Open(Call& call) {
    Args& args = call.Arguments();
    Task task;
    task.typeCode = TypeCode(args);
    const std::string form = args.Word("create or modify");
    ModelSession& session = host_.Session();
    if (form == "create") {
        std::optional<std::uint32_t> count;
        while (!args.AtEnd()) {
            if (args.TakeWord("count")) {
                if (count) args.Fail("'count' is given twice");
                count = std::uint32_t(args.Integer("a number of objects", 1, 100000));
            } else if (args.TakeWord("on")) {
                if (!task.geometry.empty()) args.Fail("'on' is given twice");
                do task.geometry.push_back(std::uint32_t(args.Integer("a geometry id", 1, UINT32_MAX)));
                while (!args.AtEnd() && !args.Peek().quoted && args.Peek().text != "count");
            } else {
                args.Fail("expected count N or on GEOMETRY-ID... after 'open " + std::to_string(task.typeCode) + " create', got " +
                          (args.Peek().quoted ? Quote(args.Peek().text) : "'" + args.Peek().text + "'"));
            }
        }
        task.count = count ? *count : std::uint32_t(std::max<std::size_t>(1, task.geometry.size()));
        if (task.geometry.size() > 1 && task.geometry.size() != task.count)
            args.Fail(std::to_string(task.geometry.size()) + " geometry items for " + std::to_string(task.count) +
                      " objects: give one item for all, or one per object");
        task.mode = 0;
    } else if (form == "modify") {
        if (args.AtEnd()) args.Fail("expected the objects to modify after 'open " + std::to_string(task.typeCode) + " modify'");
        while (!args.AtEnd()) {
            const ObjectRef ref = ReadObject(args);
            task.objects.push_back(Model([&] { return session.ResolveObject(ref); }));
        }
        task.count = std::uint32_t(task.objects.size());
        task.mode = 1;
    } else if (form == "mode") {
        // A mode other than create and modify, as a host may pass it: nothing is written.
        task.mode = std::uint32_t(args.Integer("a dialog mode", 0, UINT32_MAX));
        task.count = 1;
        if (args.TakeWord("count")) task.count = std::uint32_t(args.Integer("a number of objects", 0, UINT32_MAX));
        args.End();
    } else {
        args.Fail("expected create, modify or mode after 'open " + std::to_string(task.typeCode) + "', got '" + form + "'");
    }

    OrvDbRecord::DbDesignScenario* found = Model([&] { return &session.Scenario(); });
    OrvDbRecord::DbDesignScenario& scenario = *found;
    std::vector<const OrvDbRecord::DbFeaObject*> objects;
    for (std::uint32_t id : task.objects) {
        const OrvDbRecord::DbFeaObject* object = scenario.FindFeaObject(id);
        if (!object) call.Error("scenario " + std::to_string(scenario.Id()) + " has no object " + std::to_string(id));
        if (object->GetTypeCode() != task.typeCode)
            call.Error("object " + std::to_string(id) + " is of type code " + std::to_string(object->GetTypeCode()) +
                       ", not " + std::to_string(task.typeCode));
        objects.push_back(object);
    }
    for (std::uint32_t id : task.geometry)
        if (!scenario.FindGeometry(OrvDbRecord::GeometryKindOf(task.typeCode), id))
            call.Error("scenario " + std::to_string(scenario.Id()) + " has no geometry item " + std::to_string(id) +
                       " for type code " + std::to_string(task.typeCode));

    // The host's calling order: factory, Reset, SetEditParameters, SetMode, AddFeaObject.
    auto* base = DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(task.typeCode, nullptr, 0);
    task.dialog = dynamic_cast<DataModelDialogs::AFeaObjectPropertiesDialog*>(base);
    if (!task.dialog) call.Error("the library serves no modal dialog for type code " + std::to_string(task.typeCode));
    task.dialog->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &scenario;
    parameters.settingsDatabasePath = scenario.GetModelPath();
    parameters.objectCount = task.count;
    task.dialog->SetEditParameters(parameters);
    task.dialog->SetMode(task.mode);
    for (const auto* object : objects) task.dialog->AddFeaObject(object);
    // New objects: the host names the geometry they go on, as its window does, so that the
    // dialog sees their element type.
    for (std::uint32_t id : task.geometry)
        task.dialog->AddGeometry(scenario.FindGeometry(OrvDbRecord::GeometryKindOf(task.typeCode), id));

    task_ = std::move(task);
    auto* dialog = task_->dialog;
    session.SetEditedRecordSource([dialog] { return &dialog->GetEditedEntry(); });
    Show(call, 0);
}

void FeaDialogCommands::Show(Call& call, std::uint32_t code) {
    Task& task = *task_;
    task.pickCode = 0;
    orv::win::ClearModalError();
    const std::uint32_t result = task.dialog->ShowDialog(code);
    if (call.Runner().Stopped()) return;  // the run already said why
    if (!orv::win::ModalError().empty())
        call.Error("the dialog ended without an answer: " + orv::WideToUtf8(orv::win::ModalError()));
    host_.SetLastResult({result, &ResultText});
    Finish(call, result);
}

void FeaDialogCommands::Finish(Call& call, std::uint32_t result) {
    Task& task = *task_;
    ModelSession& session = host_.Session();
    std::ostream& out = call.Out();
    out << "open " << task.typeCode << ' '
        << (task.mode == 0 ? std::string("create") : task.mode == 1 ? std::string("modify") : "mode " + std::to_string(task.mode))
        << ": " << ResultText(result);
    if (result != 0 && result != 1) {
        // The host lets the person pick and calls ShowDialog again with the same code.
        task.pickCode = result;
        out << ", waiting for a pick\n";
        return;
    }
    if (result == 0 && task.mode <= 1) {
        OrvDbRecord::DbDesignScenario& scenario = session.Scenario();
        if (task.mode == 0) {
            out << ", created";
            for (std::uint32_t i = 0; i < task.count; ++i) {
                RURIVO_LOADS_V1_ENTRY entry;
                task.dialog->FillNewObjectEntry(&scenario, nullptr, &entry);
                const std::uint32_t geometry =
                    task.geometry.empty() ? 0 : task.geometry[task.geometry.size() == 1 ? 0 : i];
                auto& object = scenario.CreateFeaObject(task.typeCode, entry, OrvDbRecord::GeometryKindOf(task.typeCode), geometry);
                session.AddCreatedObject(object.Id());
                out << (i ? ", " : " ") << "object " << object.Id();
            }
        } else {
            // Each object's record as read when the dialog started, with the edits applied.
            auto& entries = task.dialog->GetEntries();
            for (std::size_t i = 0; i < task.objects.size() && i < entries.size(); ++i) {
                RURIVO_LOADS_V1_ENTRY entry = entries[i];
                task.dialog->ApplyEditsToEntry(&entry);
                if (auto* object = scenario.FindFeaObject(task.objects[i])) object->InitOnFemStruct(entry);
            }
            out << ", stored " << task.objects.size() << (task.objects.size() == 1 ? " object" : " objects");
        }
    }
    out << '\n';
    session.SetEditedRecordSource(nullptr);
    task_.reset();
}

}  // namespace orvdlg
