#pragma once
// orvrc: compiles a resource script (the subset we use of the Windows resource script language)
// into a resource blob (platform/res/ResourceFormat.h) and a C++ source that carries it.

#include <cstdint>
#include <string>
#include <vector>

namespace orv::rc {

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    // "FILE:LINE: message"
    std::string ToString() const;
};

struct CompileOptions {
    std::vector<std::string> includeDirs;  // searched after the including file's folder
};

struct CompileResult {
    bool ok = false;
    Diagnostic error;                       // when !ok
    std::vector<unsigned char> blob;        // when ok
    std::vector<std::string> dependencies;  // every file read: script, headers, images
};

// Compiles the script file at `path`.
CompileResult CompileFile(const std::string& path, const CompileOptions& options);
// Compiles `text` as if it were the file `name` (includes resolve beside `name`).
CompileResult CompileText(const std::string& name, const std::string& text, const CompileOptions& options);

enum class OutputKind {
    kLinked,     // registers the blob with the platform layer when the binary is loaded
    kSatellite,  // exports the blob only; the file holds no code of ours
};

// The C++ source that carries `blob`.
std::string GenerateSource(const std::vector<unsigned char>& blob, OutputKind kind, const std::string& moduleName);

// The command line tool: orvrc [-I DIR]... [--satellite] [--name NAME] [--depfile FILE] -o OUT.cpp IN.rc
// Writes nothing but a message on `err` when it fails, and returns non-zero.
int RunCompiler(const std::vector<std::string>& args, std::string& err);

}  // namespace orv::rc
