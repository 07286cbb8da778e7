#include "apps/orvdlg/HostCommands.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::Quote;
using orv::script::ScriptError;
using orv::script::Where;

// Runs a model call, turning its failure into a script error.
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

ObjectRef ReadObject(Args& args) {
    const orv::script::Token& token = args.Any("an object (an id, new, $N or edited)");
    ObjectRef ref;
    if (!token.quoted && token.text == "new") {
        ref.kind = ObjectRef::Kind::New;
    } else if (!token.quoted && token.text == "edited") {
        ref.kind = ObjectRef::Kind::Edited;
    } else if (!token.quoted && token.text.starts_with("$")) {
        const auto n = orv::script::ParseInteger(token.text.substr(1));
        if (!n || *n < 1 || *n > UINT32_MAX) args.Fail("expected $N with N from 1 (the N-th object the script created), got '" + token.text + "'");
        ref.kind = ObjectRef::Kind::Created;
        ref.id = std::uint32_t(*n);
    } else {
        const auto id = token.quoted ? std::nullopt : orv::script::ParseInteger(token.text);
        if (!id || *id < 0 || *id > UINT32_MAX)
            args.Fail("expected an object (an id, new, $N or edited), got " +
                      (token.quoted ? Quote(token.text) : "'" + token.text + "'"));
        ref.id = std::uint32_t(*id);
    }
    return ref;
}

std::string FormatReal(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

bool OnOff(Args& args, const char* what) {
    const std::string word = args.Word(what);
    if (word == "on") return true;
    if (word == "off") return false;
    args.Fail(std::string("expected on or off after '") + args.CommandName() + " ... riks', got '" + word + "'");
}

}  // namespace

std::optional<std::string> HostCommands::CompareField(const FieldValue& actual, const orv::script::Token& expected) {
    auto bad = [&](const std::string& what) -> std::optional<std::string> {
        throw ScriptError("expected " + what + " as the value, got " +
                          (expected.quoted ? Quote(expected.text) : expected.text));
    };
    switch (actual.type) {
        case FieldValue::Type::F64: {
            if (expected.quoted) return bad("a number");
            const std::string got = FormatReal(actual.f64);
            if (expected.text == "nan") return std::isnan(actual.f64) ? std::nullopt : std::optional(got);
            const bool tolerant = expected.text.starts_with("~");
            const auto value = orv::script::ParseReal(tolerant ? expected.text.substr(1) : expected.text);
            if (!value) return bad("a number (or ~number, or nan)");
            const bool holds = tolerant ? std::fabs(actual.f64 - *value) <=
                                              1e-12 * std::max(std::fabs(actual.f64), std::fabs(*value))
                                        : actual.f64 == *value;
            return holds ? std::nullopt : std::optional(got);
        }
        case FieldValue::Type::I32:
        case FieldValue::Type::U32: {
            const bool isSigned = actual.type == FieldValue::Type::I32;
            const std::string got = isSigned ? std::to_string(std::int32_t(actual.bits)) : std::to_string(actual.bits);
            const auto value = expected.quoted ? std::nullopt : orv::script::ParseInteger(expected.text);
            const bool hex = expected.text.find_first_of("xX") != std::string::npos;
            // i32 takes -2147483648..2147483647 or a 0x pattern up to 0xFFFFFFFF; u32 0..4294967295.
            const std::int64_t min = isSigned && !hex ? INT32_MIN : 0;
            const std::int64_t max = isSigned && !hex ? INT32_MAX : UINT32_MAX;
            if (!value || *value < min || *value > max)
                return bad(isSigned ? "a 32-bit signed integer" : "a 32-bit unsigned integer");
            return std::uint32_t(*value) == actual.bits ? std::nullopt : std::optional(got);
        }
        case FieldValue::Type::Flag: {
            const std::int32_t word = std::int32_t(actual.bits);
            const std::string got = word == -1 ? "-1 (true)" : word == 0 ? "0 (false)" : std::to_string(word);
            std::int32_t want = 0;
            if (!expected.quoted && (expected.text == "-1" || expected.text == "true")) want = -1;
            else if (!expected.quoted && (expected.text == "0" || expected.text == "false")) want = 0;
            else return bad("-1, 0, true or false");
            return word == want ? std::nullopt : std::optional(got);
        }
        case FieldValue::Type::Text:
            if (!expected.quoted) return bad("a quoted text");
            return actual.text == expected.text ? std::nullopt : std::optional(Quote(actual.text));
    }
    return std::nullopt;
}

void HostCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"model", Where::Host, "model sample | model \"PATH\"", [this](Call& call) {
                   Args& args = call.Arguments();
                   if (args.TakeWord("sample")) {
                       args.End();
                       Model([&] { session_.LoadSample(); });
                       return;
                   }
                   if (args.AtEnd() || !args.Peek().quoted) {
                       if (!args.AtEnd()) args.Fail("expected sample or a quoted path after 'model', got '" + args.Peek().text + "'");
                       args.Fail("expected sample or a quoted path after 'model'");
                   }
                   const std::string path = args.String("a model file");
                   args.End();
                   Model([&] { session_.LoadFile(path); });
               }});
    table.Add({"scenario", Where::Host, "scenario ID", [this](Call& call) {
                   const auto id = call.Arguments().Integer("a scenario id", 0, UINT32_MAX);
                   call.Arguments().End();
                   Model([&] { session_.SelectScenario(std::uint32_t(id)); });
               }});
    table.Add({"analysis", Where::Host, "analysis TYPE [category N] [riks on|off]", [this](Call& call) {
                   Args& args = call.Arguments();
                   const auto type = args.Integer("an analysis type code", 0, UINT32_MAX);
                   std::optional<std::uint32_t> category;
                   std::optional<bool> riks;
                   while (!args.AtEnd()) {
                       if (args.TakeWord("category")) {
                           if (category) args.Fail("'category' is given twice");
                           category = std::uint32_t(args.Integer("an analysis category", 0, 5));
                       } else if (args.TakeWord("riks")) {
                           if (riks) args.Fail("'riks' is given twice");
                           riks = OnOff(args, "on or off");
                       } else {
                           args.Fail("expected category N or riks on|off, got " +
                                     (args.Peek().quoted ? Quote(args.Peek().text) : "'" + args.Peek().text + "'"));
                       }
                   }
                   Model([&] { session_.SetAnalysis(std::uint32_t(type), category, riks); });
               }});
    table.Add({"display-units", Where::Host, "display-units TYPE|model", [this](Call& call) {
                   Args& args = call.Arguments();
                   const orv::script::Token& token = args.Any("a unit system type or model");
                   args.End();
                   std::optional<std::string> type;
                   if (token.quoted || token.text != "model") type = token.text;
                   Model([&] { session_.SetDisplayUnits(type); });
               }});
    table.Add({"save", Where::Host, "save \"PATH\"", [this](Call& call) {
                   const std::string path = call.Arguments().String("a file to save the model to");
                   call.Arguments().End();
                   Model([&] { session_.Save(path); });
               }});
    table.Add({"dump", Where::Anywhere, "dump OBJ", [this](Call& call) {
                   const ObjectRef object = ReadObject(call.Arguments());
                   call.Arguments().End();
                   call.Out() << Model([&] { return session_.Dump(object); });
               }});
    table.Add({"expect field", Where::Anywhere, "expect field OBJ OFFSET TYPE VALUE", [this](Call& call) {
                   Args& args = call.Arguments();
                   const ObjectRef object = ReadObject(args);
                   const auto offset = args.Integer("a byte offset", 0, 0xFFFF);
                   const std::string typeName = args.Word("a field type (f64, i32, u32, flag or text)");
                   FieldValue::Type type;
                   if (typeName == "f64") type = FieldValue::Type::F64;
                   else if (typeName == "i32") type = FieldValue::Type::I32;
                   else if (typeName == "u32") type = FieldValue::Type::U32;
                   else if (typeName == "flag") type = FieldValue::Type::Flag;
                   else if (typeName == "text") type = FieldValue::Type::Text;
                   else args.Fail("unknown field type '" + typeName + "' (f64, i32, u32, flag or text)");
                   const orv::script::Token& expected = args.Any("the expected value");
                   args.End();
                   const FieldValue actual =
                       Model([&] { return session_.ReadField(object, std::size_t(offset), type); });
                   if (const auto got = CompareField(actual, expected)) {
                       call.Fail("field " + std::to_string(offset) + " " + typeName + " of " + session_.Describe(object) +
                                     " " + (expected.quoted ? Quote(expected.text) : expected.text),
                                 *got);
                   }
                   call.Pass();
               }});
}

}  // namespace orvdlg
