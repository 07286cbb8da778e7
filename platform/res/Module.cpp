#include "platform/res/Module.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "platform/res/ModuleRegistry.h"
#include "platform/res/ResourceFormat.h"
#include "platform/win/Utf8.h"

namespace orv::res {
namespace {

thread_local std::wstring t_lastError;

std::string Narrow(LPCTSTR path) { return path ? WideToUtf8(path) : std::string(); }

int FindMainBase(dl_phdr_info* info, size_t, void* data) {
    // The first object reported is the main program.
    ElfW(Addr) lowest = std::numeric_limits<ElfW(Addr)>::max();
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_LOAD) lowest = std::min(lowest, info->dlpi_phdr[i].p_vaddr);
    long page = sysconf(_SC_PAGESIZE);
    if (lowest == std::numeric_limits<ElfW(Addr)>::max()) lowest = 0;
    lowest &= ~ElfW(Addr)(page - 1);
    *static_cast<ElfW(Addr)*>(data) = info->dlpi_addr + lowest;
    return 1;
}

std::wstring ExecutablePath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return Utf8ToWide(std::string(buf, std::size_t(n)));
}

}  // namespace

HINSTANCE ModuleFromAddress(const void* address) {
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fbase) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

HINSTANCE GetMainModule() {
    static const HINSTANCE main = [] {
        ElfW(Addr) base = 0;
        dl_iterate_phdr(FindMainBase, &base);
        return reinterpret_cast<HINSTANCE>(base);
    }();
    return main;
}

std::wstring GetModuleFilePath(HMODULE module) {
    if (!module || module == GetMainModule()) return ExecutablePath();
    std::wstring known = ModuleRegistry::Instance().PathOf(module);
    if (!known.empty()) return known;
    Dl_info info{};
    if (dladdr(module, &info) && info.dli_fbase == module && info.dli_fname && *info.dli_fname)
        return Utf8ToWide(info.dli_fname);
    return {};
}

const std::wstring& LastModuleError() { return t_lastError; }

void SetLastModuleError(std::wstring message) { t_lastError = std::move(message); }

bool ReadResourceSection(const std::string& path, std::vector<unsigned char>& out, std::wstring& error) {
    out.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = L"cannot open file";
        return false;
    }
    auto readAt = [&](std::uint64_t offset, void* into, std::size_t n) {
        in.clear();
        in.seekg(std::streamoff(offset));
        in.read(static_cast<char*>(into), std::streamsize(n));
        return bool(in) && std::size_t(in.gcount()) == n;
    };
    in.seekg(0, std::ios::end);
    std::uint64_t fileSize = std::uint64_t(in.tellg());
    Elf64_Ehdr eh;
    if (!readAt(0, &eh, sizeof eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0) {
        error = L"not an ELF file";
        return false;
    }
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB) {
        error = L"not a 64-bit little-endian ELF file";
        return false;
    }
    if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0 || eh.e_shstrndx >= eh.e_shnum ||
        eh.e_shoff > fileSize || std::uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > fileSize - eh.e_shoff) {
        error = L"ELF file without usable section headers";
        return false;
    }
    std::vector<Elf64_Shdr> sections(eh.e_shnum);
    if (!readAt(eh.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr))) {
        error = L"truncated ELF section headers";
        return false;
    }
    const Elf64_Shdr& names = sections[eh.e_shstrndx];
    if (names.sh_offset > fileSize || names.sh_size > fileSize - names.sh_offset || names.sh_size > (1u << 24)) {
        error = L"bad ELF section name table";
        return false;
    }
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    if (!readAt(names.sh_offset, nameTable.data(), names.sh_size)) {
        error = L"truncated ELF section name table";
        return false;
    }
    for (const Elf64_Shdr& s : sections) {
        if (s.sh_name >= names.sh_size || std::strcmp(&nameTable[s.sh_name], format::kSectionName) != 0) continue;
        if (s.sh_type == SHT_NOBITS || s.sh_offset > fileSize || s.sh_size > fileSize - s.sh_offset) {
            error = L"bad resource section";
            return false;
        }
        out.resize(s.sh_size);
        if (!readAt(s.sh_offset, out.data(), out.size())) {
            error = L"truncated resource section";
            return false;
        }
        return true;
    }
    return true;  // a binary without resources
}

}  // namespace orv::res

using orv::res::ModuleRegistry;

HMODULE LoadLibrary(LPCTSTR path) {
    if (!path || !*path) {
        orv::res::SetLastModuleError(L"no file name");
        return nullptr;
    }
    std::string file = orv::res::Narrow(path);
    // Outside the registry's lock: the library's constructors register its linked resources.
    void* dl = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        const char* why = dlerror();
        orv::res::SetLastModuleError(orv::Utf8ToWide(why ? why : "cannot load library"));
        return nullptr;
    }
    link_map* map = nullptr;
    HMODULE handle = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &map) == 0 && map) handle = orv::res::ModuleFromAddress(map->l_ld);
    if (!handle) {
        dlclose(dl);
        orv::res::SetLastModuleError(L"cannot find the library's load address");
        return nullptr;
    }
    // A satellite exports its resources instead of registering them.
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (void* sym = dlsym(dl, orv::res::format::kEntrySymbol); sym && orv::res::ModuleFromAddress(sym) == handle) {
        Dl_info info{};
        ElfW(Sym)* entry = nullptr;
        if (dladdr1(sym, &info, reinterpret_cast<void**>(&entry), RTLD_DL_SYMENT) && entry) {
            data = static_cast<const unsigned char*>(sym);
            size = entry->st_size;
        }
    }
    ModuleRegistry::Instance().AddLibrary(handle, path, dl, data, size);
    return handle;
}

HMODULE LoadLibraryEx(LPCTSTR path, void*, DWORD flags) {
    if (!(flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)))
        return LoadLibrary(path);
    if (!path || !*path) {
        orv::res::SetLastModuleError(L"no file name");
        return nullptr;
    }
    std::vector<unsigned char> section;
    std::wstring error;
    if (!orv::res::ReadResourceSection(orv::res::Narrow(path), section, error)) {
        orv::res::SetLastModuleError(error);
        return nullptr;
    }
    return ModuleRegistry::Instance().AddDataFile(path, section);
}

BOOL FreeLibrary(HMODULE module) {
    void* dl = nullptr;
    if (!ModuleRegistry::Instance().Release(module, dl)) return FALSE;
    if (dl) dlclose(dl);  // outside the lock: destructors unregister linked resources
    return TRUE;
}

void* GetProcAddress(HMODULE module, LPCSTR name) {
    if (!name) return nullptr;
    if (!module) return dlsym(RTLD_DEFAULT, name);
    void* dl = ModuleRegistry::Instance().LoadHandle(module);
    return dl ? dlsym(dl, name) : nullptr;
}

DWORD GetModuleFileName(HMODULE module, LPTSTR buffer, DWORD size) {
    std::wstring path = orv::res::GetModuleFilePath(module);
    if (path.empty() || !buffer || size == 0) return 0;
    std::size_t n = std::min<std::size_t>(path.size(), size - 1);
    std::copy(path.begin(), path.begin() + std::ptrdiff_t(n), buffer);
    buffer[n] = L'\0';
    return DWORD(n);
}

extern "C" void orv_res_register_linked(const void* anchor, const unsigned char* data, std::size_t size) {
    HINSTANCE module = orv::res::ModuleFromAddress(anchor);
    if (module) ModuleRegistry::Instance().AddLinked(module, data, size);
}

extern "C" void orv_res_unregister_linked(const unsigned char* data) { ModuleRegistry::Instance().RemoveLinked(data); }
