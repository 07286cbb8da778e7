#include "tools/rc/RcPreprocessor.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv::rc {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxIncludeDepth = 32;
constexpr int kMaxExpansionDepth = 64;

// Headers of the platform's SDK that scripts include out of habit; their constants are built in.
const std::set<std::string> kSystemHeaders = {
    "windows.h", "winres.h", "winresrc.h", "afxres.h", "commctrl.h", "winuser.h", "winver.h",
    "winnt.h", "richedit.h", "dlgs.h", "ntverp.h", "common.ver", "afxres.rc", "verrsrc.h",
};

std::string Lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ReadFile(const std::string& path, std::string& out) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

struct Line {
    int number;
    std::string text;
};

// Removes comments (keeping line breaks) and joins continued lines.
std::vector<Line> LogicalLines(const std::string& text, const std::string& file) {
    std::string clean;
    clean.reserve(text.size());
    std::size_t i = 0, n = text.size();
    int line = 1;
    if (n >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF)
        i = 3;  // UTF-8 byte order mark
    while (i < n) {
        char c = text[i];
        if (c == '"') {
            clean += c;
            ++i;
            while (i < n && text[i] != '\n') {
                char d = text[i];
                if (d == '\\' && i + 1 < n && text[i + 1] != '\n') {
                    clean += d;
                    clean += text[i + 1];
                    i += 2;
                    continue;
                }
                clean += d;
                ++i;
                if (d == '"') {
                    if (i < n && text[i] == '"') {
                        clean += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            int start = line;
            i += 2;
            bool closed = false;
            while (i < n) {
                if (text[i] == '*' && i + 1 < n && text[i + 1] == '/') {
                    i += 2;
                    closed = true;
                    break;
                }
                if (text[i] == '\n') {
                    clean += '\n';
                    ++line;
                }
                ++i;
            }
            if (!closed) throw RcError(file, start, "unterminated comment");
            clean += ' ';
            continue;
        }
        if (c == '\n') ++line;
        clean += c;
        ++i;
    }
    std::vector<Line> lines;
    std::size_t pos = 0;
    int number = 1;
    std::string pending;
    int pendingStart = 0;
    while (pos <= clean.size()) {
        std::size_t end = clean.find('\n', pos);
        if (end == std::string::npos) end = clean.size();
        std::string piece = clean.substr(pos, end - pos);
        if (!piece.empty() && piece.back() == '\r') piece.pop_back();
        if (pending.empty()) pendingStart = number;
        if (!piece.empty() && piece.back() == '\\') {
            piece.pop_back();
            pending += piece;
            pending += ' ';
        } else {
            pending += piece;
            lines.push_back({pendingStart, pending});
            pending.clear();
        }
        ++number;
        if (end == clean.size()) break;
        pos = end + 1;
    }
    if (!pending.empty()) lines.push_back({pendingStart, pending});
    return lines;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Expression evaluation for #if over already expanded tokens.
class CondEval {
public:
    CondEval(const std::vector<Token>& t, const std::string* file, int line) : t_(t), file_(file), line_(line) {}
    std::int64_t Run() {
        if (t_.empty()) Fail("#if with no expression");
        std::int64_t v = Ternary();
        if (pos_ < t_.size()) Fail("unexpected '" + t_[pos_].text + "' in #if expression");
        return v;
    }

private:
    [[noreturn]] void Fail(const std::string& m) { throw RcError(*file_, line_, m); }
    bool Is(const char* p) { return pos_ < t_.size() && t_[pos_].kind == Token::kPunct && t_[pos_].text == p; }
    bool Eat(const char* p) {
        if (!Is(p)) return false;
        ++pos_;
        return true;
    }
    std::int64_t Ternary() {
        std::int64_t c = Binary(0);
        if (Eat("?")) {
            std::int64_t a = Ternary();
            if (!Eat(":")) Fail("expected ':' in #if expression");
            std::int64_t b = Ternary();
            return c ? a : b;
        }
        return c;
    }
    static int Precedence(const std::string& op) {
        static const std::map<std::string, int> p = {
            {"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4}, {"&", 5}, {"==", 6}, {"!=", 6}, {"<", 7}, {">", 7},
            {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8}, {"+", 9}, {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10}};
        auto it = p.find(op);
        return it == p.end() ? -1 : it->second;
    }
    std::int64_t Binary(int minPrec) {
        std::int64_t lhs = Unary();
        while (pos_ < t_.size() && t_[pos_].kind == Token::kPunct) {
            std::string op = t_[pos_].text;
            int prec = Precedence(op);
            if (prec < 0 || prec < minPrec) break;
            ++pos_;
            std::int64_t rhs = Binary(prec + 1);
            lhs = Apply(op, lhs, rhs);
        }
        return lhs;
    }
    std::int64_t Apply(const std::string& op, std::int64_t a, std::int64_t b) {
        if (op == "||") return a || b;
        if (op == "&&") return a && b;
        if (op == "|") return a | b;
        if (op == "^") return a ^ b;
        if (op == "&") return a & b;
        if (op == "==") return a == b;
        if (op == "!=") return a != b;
        if (op == "<") return a < b;
        if (op == ">") return a > b;
        if (op == "<=") return a <= b;
        if (op == ">=") return a >= b;
        if (op == "<<") return (b < 0 || b > 62) ? 0 : std::int64_t(std::uint64_t(a) << b);
        if (op == ">>") return (b < 0 || b > 62) ? 0 : a >> b;
        if (op == "+") return std::int64_t(std::uint64_t(a) + std::uint64_t(b));
        if (op == "-") return std::int64_t(std::uint64_t(a) - std::uint64_t(b));
        if (op == "*") return std::int64_t(std::uint64_t(a) * std::uint64_t(b));
        if (b == 0) Fail("division by zero in #if expression");
        if (a == INT64_MIN && b == -1) return a;
        return op == "/" ? a / b : a % b;
    }
    std::int64_t Unary() {
        if (++depth_ > 200) Fail("#if expression nested too deeply");
        std::int64_t v = UnaryInner();
        --depth_;
        return v;
    }
    std::int64_t UnaryInner() {
        if (Eat("!")) return !Unary();
        if (Eat("~")) return ~Unary();
        if (Eat("-")) return std::int64_t(0 - std::uint64_t(Unary()));
        if (Eat("+")) return Unary();
        if (Eat("(")) {
            std::int64_t v = Ternary();
            if (!Eat(")")) Fail("expected ')' in #if expression");
            return v;
        }
        if (pos_ >= t_.size()) Fail("unexpected end of #if expression");
        const Token& t = t_[pos_++];
        if (t.kind == Token::kNumber) return t.value;
        if (t.kind == Token::kIdent) return 0;  // an undefined name counts as 0
        Fail("unexpected '" + t.text + "' in #if expression");
    }
    const std::vector<Token>& t_;
    const std::string* file_;
    int line_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

Preprocessor::Preprocessor(std::vector<std::string> includeDirs) : includeDirs_(std::move(includeDirs)) {
    Macro one;
    Token t;
    t.kind = Token::kNumber;
    t.value = 1;
    t.text = "1";
    one.body.push_back(t);
    macros_["RC_INVOKED"] = one;
}

const std::string* Preprocessor::Intern(const std::string& file) { return &*interned_.insert(file).first; }

std::string Preprocessor::Resolve(const std::string& name, const std::string& fromFile, bool quoted) const {
    std::error_code ec;
    fs::path p(name);
    if (p.is_absolute()) return fs::is_regular_file(p, ec) ? name : std::string();
    if (quoted) {
        fs::path beside = fs::path(fromFile).parent_path() / p;
        if (fs::is_regular_file(beside, ec)) return beside.lexically_normal().string();
    }
    for (const auto& dir : includeDirs_) {
        fs::path candidate = fs::path(dir) / p;
        if (fs::is_regular_file(candidate, ec)) return candidate.lexically_normal().string();
    }
    return {};
}

std::vector<Token> Preprocessor::Run(const std::string& path, const std::string* text) {
    std::string content;
    if (text) {
        content = *text;
    } else if (!ReadFile(path, content)) {
        throw RcError(path, 0, "cannot open file");
    }
    files_.push_back(path);
    ProcessFile(path, content, 0, false);
    Token end;
    end.kind = Token::kEnd;
    end.text = "end of file";
    end.file = Intern(path);
    int lines = 1 + int(std::count(content.begin(), content.end(), '\n'));
    if (!content.empty() && content.back() == '\n') --lines;
    end.line = std::max(1, lines);
    out_.push_back(end);
    return std::move(out_);
}

void Preprocessor::ProcessFile(const std::string& path, const std::string& text, int depth, bool directivesOnly) {
    const std::string* file = Intern(path);
    std::vector<Line> lines = LogicalLines(text, path);
    std::vector<Cond> conds;
    for (const Line& line : lines) {
        std::size_t first = line.text.find_first_not_of(" \t\f\v");
        if (first == std::string::npos) continue;
        if (line.text[first] == '#') {
            Directive(line.text.substr(first + 1), file, line.number, depth, conds);
            continue;
        }
        bool active = conds.empty() || conds.back().active;
        if (!active || directivesOnly) continue;
        std::vector<Token> raw = Tokenize(line.text, file, line.number);
        std::set<std::string> guard;
        Expand(raw, out_, guard, 0);
    }
    if (!conds.empty()) throw RcError(path, conds.back().line, "unterminated conditional directive (missing #endif)");
}

void Preprocessor::Directive(const std::string& body, const std::string* file, int line, int depth,
                             std::vector<Cond>& conds) {
    std::size_t p = body.find_first_not_of(" \t");
    if (p == std::string::npos) return;  // a lone '#'
    std::size_t e = p;
    while (e < body.size() && IsIdentChar(body[e])) ++e;
    std::string name = body.substr(p, e - p);
    std::string rest = body.substr(e);
    bool active = conds.empty() || conds.back().active;

    auto ifLike = [&](bool value) {
        conds.push_back({active, active && value, active && value, false, line});
    };
    auto identArg = [&]() {
        std::vector<Token> t = Tokenize(rest, file, line);
        if (t.size() != 1 || t[0].kind != Token::kIdent) throw RcError(*file, line, "#" + name + " expects one name");
        return t[0].text;
    };
    if (name == "ifdef" || name == "ifndef") {
        if (!active) {
            ifLike(false);
            return;
        }
        bool defined = macros_.count(identArg()) > 0;
        ifLike(name == "ifdef" ? defined : !defined);
        return;
    }
    if (name == "if") {
        ifLike(active && EvalCondition(Tokenize(rest, file, line), file, line) != 0);
        return;
    }
    if (name == "elif" || name == "else") {
        if (conds.empty()) throw RcError(*file, line, "#" + name + " without #if");
        Cond& c = conds.back();
        if (c.sawElse) throw RcError(*file, line, "#" + name + " after #else");
        if (name == "else") {
            c.sawElse = true;
            c.active = c.parentActive && !c.taken;
        } else {
            bool value = c.parentActive && !c.taken && EvalCondition(Tokenize(rest, file, line), file, line) != 0;
            c.active = value;
        }
        c.taken = c.taken || c.active;
        return;
    }
    if (name == "endif") {
        if (conds.empty()) throw RcError(*file, line, "#endif without #if");
        conds.pop_back();
        return;
    }
    if (!active) return;
    if (name == "define") {
        std::size_t q = rest.find_first_not_of(" \t");
        if (q == std::string::npos || !IsIdentStart(rest[q])) throw RcError(*file, line, "#define expects a name");
        std::size_t r = q;
        while (r < rest.size() && IsIdentChar(rest[r])) ++r;
        Macro m;
        std::string macroName = rest.substr(q, r - q);
        if (r < rest.size() && rest[r] == '(') {
            m.functionLike = true;  // kept only so that a use gives a clear message
        } else {
            m.body = Tokenize(rest.substr(r), file, line);
        }
        macros_[macroName] = std::move(m);
        return;
    }
    if (name == "undef") {
        macros_.erase(identArg());
        return;
    }
    if (name == "include") {
        std::size_t q = rest.find_first_not_of(" \t");
        if (q == std::string::npos) throw RcError(*file, line, "#include expects a file name");
        char open = rest[q];
        char close = open == '<' ? '>' : '"';
        std::size_t end = rest.find(close, q + 1);
        if ((open != '"' && open != '<') || end == std::string::npos)
            throw RcError(*file, line, "#include expects \"file\" or <file>");
        std::string target = rest.substr(q + 1, end - q - 1);
        std::string resolved = Resolve(target, *file, open == '"');
        if (resolved.empty()) {
            if (kSystemHeaders.count(Lower(fs::path(target).filename().string()))) return;
            throw RcError(*file, line, "cannot open include file '" + target + "'");
        }
        if (depth + 1 > kMaxIncludeDepth) throw RcError(*file, line, "#include nested too deeply");
        std::string content;
        if (!ReadFile(resolved, content)) throw RcError(*file, line, "cannot read include file '" + target + "'");
        if (std::find(files_.begin(), files_.end(), resolved) == files_.end()) files_.push_back(resolved);
        // As the framework's compiler does, only the directives of C and C++ headers count.
        std::string ext = Lower(fs::path(resolved).extension().string());
        bool header = ext == ".h" || ext == ".hh" || ext == ".hpp" || ext == ".hxx" || ext == ".c" || ext == ".cpp";
        ProcessFile(resolved, content, depth + 1, header);
        return;
    }
    if (name == "pragma" || name == "line") return;
    if (name == "error") {
        std::size_t q = rest.find_first_not_of(" \t");
        throw RcError(*file, line, "#error" + (q == std::string::npos ? std::string() : " " + rest.substr(q)));
    }
    throw RcError(*file, line, "unknown directive '#" + name + "'");
}

std::int64_t Preprocessor::EvalCondition(const std::vector<Token>& tokens, const std::string* file, int line) {
    std::vector<Token> replaced;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::kIdent && t.text == "defined") {
            std::size_t j = i + 1;
            bool paren = j < tokens.size() && tokens[j].kind == Token::kPunct && tokens[j].text == "(";
            if (paren) ++j;
            if (j >= tokens.size() || tokens[j].kind != Token::kIdent)
                throw RcError(*file, line, "'defined' expects a name");
            Token v = t;
            v.kind = Token::kNumber;
            v.value = macros_.count(tokens[j].text) ? 1 : 0;
            v.text = std::to_string(v.value);
            if (paren) {
                ++j;
                if (j >= tokens.size() || tokens[j].text != ")") throw RcError(*file, line, "expected ')' after 'defined(name'");
            }
            replaced.push_back(v);
            i = j;
            continue;
        }
        replaced.push_back(t);
    }
    std::vector<Token> expanded;
    std::set<std::string> guard;
    Expand(replaced, expanded, guard, 0);
    return CondEval(expanded, file, line).Run();
}

void Preprocessor::Expand(const std::vector<Token>& in, std::vector<Token>& out, std::set<std::string>& active,
                          int depth) {
    for (const Token& t : in) {
        if (t.kind != Token::kIdent || active.count(t.text)) {
            out.push_back(t);
            continue;
        }
        auto it = macros_.find(t.text);
        if (it == macros_.end()) {
            out.push_back(t);
            continue;
        }
        if (it->second.functionLike)
            throw RcError(*t.file, t.line, "function-like macro '" + t.text + "' is not supported");
        if (depth > kMaxExpansionDepth) throw RcError(*t.file, t.line, "macro '" + t.text + "' expands too deeply");
        std::vector<Token> body = it->second.body;
        for (auto& b : body) {
            b.file = t.file;  // report expanded tokens where the name was used
            b.line = t.line;
        }
        active.insert(t.text);
        Expand(body, out, active, depth + 1);
        active.erase(t.text);
    }
}

std::vector<Token> Preprocessor::Tokenize(const std::string& line, const std::string* file, int lineNo) {
    std::vector<Token> tokens;
    std::size_t i = 0, n = line.size();
    auto fail = [&](const std::string& m) -> void { throw RcError(*file, lineNo, m); };
    while (i < n) {
        char c = line[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        Token t;
        t.file = file;
        t.line = lineNo;
        bool wide = (c == 'L' || c == 'l') && i + 1 < n && line[i + 1] == '"';
        if (c == '"' || wide) {
            if (wide) ++i;
            ++i;
            std::string s;
            bool closed = false;
            while (i < n) {
                char d = line[i];
                if (d == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        s += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= n) break;
                    char e = line[i + 1];
                    i += 2;
                    switch (e) {
                        case 'n': s += '\n'; break;
                        case 't': s += '\t'; break;
                        case 'r': s += '\r'; break;
                        case 'a': s += '\a'; break;
                        case 'b': s += '\b'; break;
                        case 'f': s += '\f'; break;
                        case 'v': s += '\v'; break;
                        case '\\': s += '\\'; break;
                        case '"': s += '"'; break;
                        case '\'': s += '\''; break;
                        case '?': s += '?'; break;
                        case 'x':
                        case 'X': {
                            std::uint32_t v = 0;
                            int digits = 0;
                            while (i < n && digits < 4 && std::isxdigit(static_cast<unsigned char>(line[i]))) {
                                char h = line[i++];
                                v = v * 16 + std::uint32_t(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::tolower(h) - 'a' + 10));
                                ++digits;
                            }
                            if (digits == 0) fail("\\x escape without hex digits");
                            if (v >= 0xD800 && v <= 0xDFFF) fail("\\x escape names a surrogate code unit");
                            AppendUtf8(s, v);
                            break;
                        }
                        default:
                            if (e >= '0' && e <= '7') {
                                std::uint32_t v = std::uint32_t(e - '0');
                                int digits = 1;
                                while (i < n && digits < 3 && line[i] >= '0' && line[i] <= '7') {
                                    v = v * 8 + std::uint32_t(line[i++] - '0');
                                    ++digits;
                                }
                                AppendUtf8(s, v);
                            } else {
                                fail(std::string("unknown escape sequence '\\") + e + "' in string");
                            }
                    }
                    continue;
                }
                s += d;
                ++i;
            }
            if (!closed) fail("unterminated string");
            t.kind = Token::kString;
            t.text = std::move(s);
            tokens.push_back(std::move(t));
            continue;
        }
        if (IsIdentStart(c)) {
            std::size_t s = i;
            while (i < n && IsIdentChar(line[i])) ++i;
            t.kind = Token::kIdent;
            t.text = line.substr(s, i - s);
            tokens.push_back(std::move(t));
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t s = i;
            while (i < n && (IsIdentChar(line[i]))) ++i;
            std::string lit = line.substr(s, i - s);
            std::string digits = lit;
            while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' || digits.back() == 'U' || digits.back() == 'u'))
                digits.pop_back();
            bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
            std::string body = hex ? digits.substr(2) : digits;
            bool good = !body.empty() && body.size() <= 16;
            for (char d : body) good = good && (hex ? std::isxdigit(static_cast<unsigned char>(d)) : std::isdigit(static_cast<unsigned char>(d)));
            if (!good) fail("bad number '" + lit + "'");
            std::uint64_t v = 0;
            for (char d : body) {
                std::uint64_t digit = std::isdigit(static_cast<unsigned char>(d)) ? std::uint64_t(d - '0') : std::uint64_t(std::tolower(d) - 'a' + 10);
                if (v > (UINT64_MAX - digit) / (hex ? 16 : 10)) fail("number '" + lit + "' is too large");
                v = v * (hex ? 16 : 10) + digit;
            }
            if (v > 0xFFFFFFFFull) fail("number '" + lit + "' does not fit in 32 bits");
            t.kind = Token::kNumber;
            t.value = std::int64_t(v);
            t.text = lit;
            tokens.push_back(std::move(t));
            continue;
        }
        static const char* twoChar[] = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>"};
        bool matched = false;
        for (const char* op : twoChar) {
            if (i + 1 < n && line[i] == op[0] && line[i + 1] == op[1]) {
                t.kind = Token::kPunct;
                t.text = op;
                i += 2;
                matched = true;
                break;
            }
        }
        if (!matched) {
            if (std::string(",|&+-*/()~!{}<>=^%?:").find(c) == std::string::npos) {
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                    fail("unexpected character (code " + std::to_string(static_cast<unsigned char>(c)) + ")");
                fail(std::string("unexpected character '") + c + "'");
            }
            t.kind = Token::kPunct;
            t.text = std::string(1, c);
            ++i;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

}  // namespace orv::rc
