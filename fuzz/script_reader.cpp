// Fuzz target of the scenario script reader: the input is a script. A script that splits must
// split again to the same lines and token texts when every token is written back quoted; the
// number readers must accept only finite numbers.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drivers/scripted/ScriptLexer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv::script;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptLine> lines;
    if (const auto error = SplitScript(text, lines)) {
        if (error->line < 1 || error->message.empty()) std::abort();
        return 0;
    }
    std::string written;
    for (const ScriptLine& line : lines) {
        for (const Token& token : line.tokens) {
            written += Quote(token.text) + " ";
            if (const auto real = ParseReal(token.text); real && !std::isfinite(*real)) std::abort();
            ParseInteger(token.text);
        }
        written += "\n";
    }
    std::vector<ScriptLine> again;
    if (SplitScript(written, again)) std::abort();
    // A script ends without a line break or with one: the writing has one more empty line.
    if (again.size() < lines.size()) std::abort();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (again[i].tokens.size() != lines[i].tokens.size()) std::abort();
        for (std::size_t t = 0; t < lines[i].tokens.size(); ++t)
            if (again[i].tokens[t].text != lines[i].tokens[t].text || !again[i].tokens[t].quoted) std::abort();
    }
    return 0;
}
