#include "dialogs/convection/XMLUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogs/convection/MyXMLNode.h"
#include "platform/win/Utf8.h"

namespace XMLUtil {
namespace {

CString FileMessage(const std::filesystem::path& path, const std::wstring& message) {
    return CString(path.filename().wstring() + L": " + message);
}

void SetError(CString* error, const CString& message) {
    if (error) *error = message;
}

}  // namespace

std::unique_ptr<XMLNode> CreateDocument() { return MyXMLNode::CreateDocument(); }

std::unique_ptr<XMLNode> AppendElement(XMLNode& parent, const CString& name, const CString& text) {
    std::unique_ptr<XMLNode> element;
    if (!parent.CreateElement(name, &element)) return nullptr;
    if (!text.IsEmpty()) {
        std::unique_ptr<XMLNode> textNode;
        if (!element->CreateTextNode(text, &textNode) || !element->AppendChild(*textNode)) return nullptr;
    }
    if (!parent.AppendChild(*element)) return nullptr;
    return element;
}

bool SetAttribute(XMLNode& element, const CString& name, const CString& value) {
    std::unique_ptr<XMLNamedNodeMap> attributes;
    std::unique_ptr<XMLNode> attribute;
    if (!element.GetAttributes(&attributes) || !element.CreateElement(name, &attribute)) return false;
    if (!value.IsEmpty()) {
        std::unique_ptr<XMLNode> text;
        if (!attribute->CreateTextNode(value, &text) || !attribute->AppendChild(*text)) return false;
    }
    return attributes->AddItem(*attribute);
}

bool GetAttribute(XMLNode& element, const CString& name, CString* value) {
    std::unique_ptr<XMLNamedNodeMap> attributes;
    std::unique_ptr<XMLNode> attribute;
    if (!value || !element.GetAttributes(&attributes) || !attributes->GetNamedItem(name, &attribute)) return false;
    return attribute->GetText(value);
}

std::unique_ptr<XMLNode> SelectChild(const XMLNode& node, const CString& name) {
    if (name.IsEmpty() || name.Find(L'/') >= 0 || name == L"*") return nullptr;
    std::unique_ptr<XMLNode> child;
    if (!node.SelectSingleNode(name, &child)) return nullptr;
    return child;
}

bool ReadFile(XMLNode& document, const std::filesystem::path& path, CString* error, bool* unreadable) {
    document.Load(CString());  // empties it
    if (unreadable) *unreadable = true;
    auto cannotRead = [&](const std::wstring& why) {
        SetError(error, FileMessage(path, L"cannot read: " + why));
        return false;
    };
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return cannotRead(orv::Utf8ToWide(ec.message()));
    if (size > kMaxXMLFileBytes) {
        SetError(error, FileMessage(path, L"is larger than " + std::to_wstring(kMaxXMLFileBytes) + L" bytes"));
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return cannotRead(orv::Utf8ToWide(std::strerror(errno)));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return cannotRead(L"read error");
    if (unreadable) *unreadable = false;
    if (!document.Load(CString(orv::Utf8ToWide(bytes)))) {
        const auto* my = dynamic_cast<const MyXMLNode*>(&document);
        SetError(error, FileMessage(path, my ? my->GetLoadError().str() : std::wstring(L"does not parse")));
        return false;
    }
    return true;
}

bool WriteFile(const XMLNode& document, const std::filesystem::path& path, CString* error) {
    CString xml;
    if (!document.Serialize(&xml)) {
        SetError(error, FileMessage(path, L"cannot serialise the document"));
        return false;
    }
    const std::string bytes = orv::WideToUtf8(xml.str());
    const std::filesystem::path temp = path.string() + ".~" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetError(error, FileMessage(path, L"cannot create: " + orv::Utf8ToWide(std::strerror(errno))));
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += std::size_t(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = ok ? errno : writeError;
        ::unlink(temp.c_str());
        SetError(error, FileMessage(path, L"cannot write: " + orv::Utf8ToWide(std::strerror(e))));
        return false;
    }
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace XMLUtil
