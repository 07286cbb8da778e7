#pragma once
// Convenience operations over the XML document model, and reading and writing XML files.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "dialogs/convection/XMLNode.h"

namespace XMLUtil {

// A new, empty document.
std::unique_ptr<XMLNode> CreateDocument();

// Creates an element named name in parent's document, with a text child when text is not
// empty, and appends it to parent. Returns the element, or null when that fails.
std::unique_ptr<XMLNode> AppendElement(XMLNode& parent, const CString& name, const CString& text = CString());

// Sets the attribute name of element to value, replacing an attribute of that name.
bool SetAttribute(XMLNode& element, const CString& name, const CString& value);

// The value of attribute name of element; false when it has none.
bool GetAttribute(XMLNode& element, const CString& name, CString* value);

// The first child element of that name (compared without regard to case), or null.
std::unique_ptr<XMLNode> SelectChild(const XMLNode& node, const CString& name);

// Largest XML file ReadFile accepts.
constexpr std::uintmax_t kMaxXMLFileBytes = 16u << 20;

// Reads a UTF-8 file (with or without a byte order mark) into document. False with a
// message naming the file and the position when it cannot be read or does not parse; the
// document is then empty. *unreadable (when given) tells the two apart: true when the file
// could not be read at all ("cannot read"), false when it was read and did not parse.
bool ReadFile(XMLNode& document, const std::filesystem::path& path, CString* error, bool* unreadable = nullptr);

// Writes the serialised document as UTF-8 to a new file beside path and renames it into
// place, so that a crash leaves the old file or the new one. False with a message.
bool WriteFile(const XMLNode& document, const std::filesystem::path& path, CString* error);

}  // namespace XMLUtil
