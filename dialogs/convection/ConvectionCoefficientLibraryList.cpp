#include "dialogs/convection/ConvectionCoefficientLibraryList.h"

#include <algorithm>
#include <system_error>

#include "dialogs/convection/MyXMLNode.h"
#include "dialogs/convection/XMLUtil.h"
#include "host/appcore/AppCore.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {
const wchar_t* const kListFileName = L"CCLibList.xml";
}

std::filesystem::path ConvectionCoefficientLibraryList::DefaultListFilePath() {
    const std::wstring folder = OrvGetUserDataPathW();
    if (folder.empty()) return {};
    return std::filesystem::path(orv::WideToUtf8(folder)) / orv::WideToUtf8(kListFileName);
}

ConvectionCoefficientLibraryList::ConvectionCoefficientLibraryList() : listFile_(DefaultListFilePath()) {}

ConvectionCoefficientLibraryList::ConvectionCoefficientLibraryList(std::filesystem::path listFile)
    : listFile_(std::move(listFile)) {}

bool ConvectionCoefficientLibraryList::Load() {
    problems_.clear();
    std::error_code ec;
    listFileUnread_ = false;
    if (listFile_.empty()) return true;
    const bool exists = std::filesystem::exists(listFile_, ec);
    if (!exists && (!ec || ec == std::errc::no_such_file_or_directory)) return true;

    std::unique_ptr<XMLNode> document = XMLUtil::CreateDocument();
    CString error;
    bool unreadable = true;
    const bool parsed = exists && XMLUtil::ReadFile(*document, listFile_, &error, &unreadable);
    if (!parsed) {
        if (!exists)
            error = CString((orv::Utf8ToWide(listFile_.string()) + L": cannot read: " + orv::Utf8ToWide(ec.message())).c_str());
        problems_.push_back(error.GetString());
        // What cannot be read may still be a good list: keep both it and the list in memory.
        if (unreadable || !KeepDamagedListFile()) {
            listFileUnread_ = true;
            return false;
        }
        libraries_.clear();
        return false;
    }
    libraries_.clear();

    std::unique_ptr<XMLNodeCollection> children;
    if (document->SelectNodes(CString(L"/CCLibList/*"), &children)) {
        std::unique_ptr<XMLNode> node;
        while (children->NextNode(&node)) {
            CString nodeName;
            if (!node->GetNodeName(&nodeName) || nodeName.CompareNoCase(L"cclibrary") != 0) continue;
            std::unique_ptr<XMLNode> fileNode = XMLUtil::SelectChild(*node, CString(L"LibFile"));
            std::unique_ptr<XMLNode> nameNode = XMLUtil::SelectChild(*node, CString(L"LibName"));
            if (!fileNode || !nameNode) continue;
            CString location, name, isDefault;
            fileNode->GetText(&location);
            nameNode->GetText(&name);
            if (XMLUtil::GetAttribute(*nameNode, CString(L"default"), &isDefault) && isDefault == L"true")
                name.Empty();
            const std::size_t index = AddLibrary(name, !name.IsEmpty());
            libraries_[index].SetLocation(location);
            if (!libraries_[index].Load()) {
                problems_.push_back(libraries_[index].GetError());
                libraries_.pop_back();
            }
        }
    }
    Sort();
    return true;
}

void ConvectionCoefficientLibraryList::Sort() {
    std::stable_sort(libraries_.begin(), libraries_.end(),
                     [](const ConvectionCoefficientLibrary& a, const ConvectionCoefficientLibrary& b) {
                         if (a.IsUserLibrary() != b.IsUserLibrary()) return !a.IsUserLibrary();
                         return a.GetName() < b.GetName();
                     });
}

bool ConvectionCoefficientLibraryList::Save() {
    problems_.clear();
    bool ok = true;
    for (ConvectionCoefficientLibrary& library : libraries_) {
        // The default library is written only by a developer: one that could not be read
        // must not replace the shipped file with an empty one.
        if (!library.IsDirty() || (library.IsDefaultLibrary() && !library.IsEditable())) continue;
        // A library whose file is not chosen yet waits for it (it stays dirty).
        if (library.GetLocation().IsEmpty()) continue;
        if (!library.Save()) {
            problems_.push_back(library.GetError());
            ok = false;
        }
    }
    return WriteListFile() && ok;
}

bool ConvectionCoefficientLibraryList::KeepDamagedListFile() {
    std::error_code ec;
    for (int n = 1; n <= 100; ++n) {
        std::filesystem::path kept = listFile_;
        kept += n == 1 ? std::string(".damaged") : ".damaged." + std::to_string(n);
        if (std::filesystem::exists(kept, ec) || ec) continue;
        if (std::filesystem::copy_file(listFile_, kept, std::filesystem::copy_options::none, ec)) {
            problems_.back() += L"; the damaged file is kept as " + orv::Utf8ToWide(kept.string());
            return true;
        }
        break;
    }
    problems_.back() += L"; it cannot be kept beside the list, so it is left in place and the list is not saved";
    return false;
}

bool ConvectionCoefficientLibraryList::WriteListFile() {
    if (listFile_.empty()) {
        problems_.push_back(L"there is no user data folder for " + std::wstring(kListFileName));
        return false;
    }
    if (listFileUnread_) {
        problems_.push_back(orv::Utf8ToWide(listFile_.string()) +
                            L": cannot read it, so it is not written over; the list is not saved");
        return false;
    }
    std::unique_ptr<XMLNode> document = XMLUtil::CreateDocument();
    std::unique_ptr<XMLNode> root = XMLUtil::AppendElement(*document, CString(L"CCLibList"));
    if (!root) {
        problems_.push_back(L"the library list cannot be built");
        return false;
    }
    for (const ConvectionCoefficientLibrary& library : libraries_) {
        if (!library.Exists()) continue;
        std::unique_ptr<XMLNode> element = XMLUtil::AppendElement(*root, CString(L"CCLibrary"));
        std::unique_ptr<XMLNode> file =
            element ? XMLUtil::AppendElement(*element, CString(L"LibFile"), library.GetLocation()) : nullptr;
        std::unique_ptr<XMLNode> name =
            element ? XMLUtil::AppendElement(*element, CString(L"LibName"), library.GetName()) : nullptr;
        if (!file || !name) {
            problems_.push_back(L"the library list cannot be built");
            return false;
        }
        if (library.IsDefaultLibrary()) XMLUtil::SetAttribute(*name, CString(L"default"), CString(L"true"));
    }
    CString error;
    if (!XMLUtil::WriteFile(*document, listFile_, &error)) {
        problems_.push_back(error.GetString());
        return false;
    }
    return true;
}

std::size_t ConvectionCoefficientLibraryList::AddLibrary(const CString& name, bool userLibrary) {
    if (name.IsEmpty())
        libraries_.emplace_back(CString(), CString(), userLibrary);
    else
        libraries_.push_back(ConvectionCoefficientLibrary::WithoutLocation(name, userLibrary));
    return libraries_.size() - 1;
}

bool ConvectionCoefficientLibraryList::RemoveLibrary(std::size_t index, bool deleteStorage) {
    if (index >= libraries_.size()) return false;
    ConvectionCoefficientLibrary& library = libraries_[index];
    bool ok = true;
    if (deleteStorage && library.Exists() && !library.DeleteStorage()) {
        problems_.push_back(library.GetError());
        ok = false;
    }
    libraries_.erase(libraries_.begin() + std::ptrdiff_t(index));
    return ok;
}

bool ConvectionCoefficientLibraryList::HasDefaultLibraryFirst() const {
    return !libraries_.empty() && libraries_.front().IsDefaultLibrary();
}

bool ConvectionCoefficientLibraryList::EnsureDefaultLibrary() {
    if (HasDefaultLibraryFirst()) {
        problems_.clear();
        return true;
    }
    const std::size_t index = AddLibrary(CString(), false);
    std::rotate(libraries_.begin(), libraries_.begin() + std::ptrdiff_t(index), libraries_.end());
    ConvectionCoefficientLibrary& library = libraries_.front();
    std::vector<std::wstring> loadProblems;
    // A developer creating the default library starts from the file when there is one, so
    // that it is never overwritten by an empty library.
    if (!(ConvectionCoefficientLibrary::IsDeveloperSwitchOn() && !library.Exists()) && !library.Load())
        loadProblems.push_back(library.GetError());
    const bool saved = Save();
    problems_.insert(problems_.begin(), loadProblems.begin(), loadProblems.end());
    return saved && loadProblems.empty();
}

std::size_t ConvectionCoefficientLibraryList::FindLibraryByName(const CString& name) const {
    for (std::size_t i = 0; i < libraries_.size(); ++i)
        if (libraries_[i].GetName() == name) return i;
    return npos;
}

std::size_t ConvectionCoefficientLibraryList::FindLibraryByLocation(const CString& location) const {
    for (std::size_t i = 0; i < libraries_.size(); ++i)
        if (libraries_[i].GetLocation().CompareNoCase(location) == 0) return i;
    return npos;
}

}  // namespace DataModelDialogs
