#pragma once
// The preprocessor and tokenizer of orvrc: comments, #include, #define/#undef, the conditional
// directives; yields the script's tokens with their file and line, macros expanded.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv::rc {

// Thrown at the first error; the compiler turns it into its one diagnostic.
struct RcError : std::runtime_error {
    RcError(std::string f, int l, const std::string& message) : std::runtime_error(message), file(std::move(f)), line(l) {}
    std::string file;
    int line;
};

struct Token {
    enum Kind { kIdent, kNumber, kString, kPunct, kEnd };
    Kind kind = kEnd;
    std::string text;         // identifier, punctuator, or the decoded UTF-8 string
    std::int64_t value = 0;   // numbers
    const std::string* file = nullptr;
    int line = 0;
};

class Preprocessor {
public:
    explicit Preprocessor(std::vector<std::string> includeDirs);

    // The tokens of the script, ending with a kEnd token at the end of the main file.
    std::vector<Token> Run(const std::string& path, const std::string* text);

    // Every file read, the script first.
    const std::vector<std::string>& Files() const { return files_; }
    // Resolves a file named in the script (images): beside `fromFile`, then the include dirs.
    std::string Resolve(const std::string& name, const std::string& fromFile, bool quoted) const;
    const std::string* Intern(const std::string& file);

private:
    struct Macro {
        bool functionLike = false;
        std::vector<Token> body;
    };
    struct Cond {
        bool parentActive;
        bool active;
        bool taken;
        bool sawElse;
        int line;
    };
    void ProcessFile(const std::string& path, const std::string& text, int depth, bool directivesOnly);
    std::vector<Token> Tokenize(const std::string& line, const std::string* file, int lineNo);
    void Expand(const std::vector<Token>& in, std::vector<Token>& out, std::set<std::string>& active, int depth);
    std::int64_t EvalCondition(const std::vector<Token>& tokens, const std::string* file, int line);
    void Directive(const std::string& body, const std::string* file, int line, int depth, std::vector<Cond>& conds);

    std::vector<std::string> includeDirs_;
    std::vector<std::string> files_;
    std::set<std::string> interned_;
    std::map<std::string, Macro> macros_;
    std::vector<Token> out_;
};

// Built-in constants (styles, version info flags, languages) known to every script.
bool LookupBuiltin(const std::string& name, std::int64_t& value);

}  // namespace orv::rc
